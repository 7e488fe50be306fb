#pragma once
// Converting the chosen screens of one disk image in this process: the
// image read again (the plan kept none of it, so that a run holds one image
// at a time), each screen taken off the disk, decoded and written by the
// same writers as a screen file, one at a time.
#include "conversion.h"
#include "conversion_jobs.h"

#include <string>

// Converts the disk job `job`. Answers an empty text when every screen
// chosen converted, else a line for each one that did not (or for the disk
// as a whole), joined by line feeds, without a last one.
std::string convert_disk(const ConversionJob& job, const ConverterSettings& settings);
