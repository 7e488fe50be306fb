#pragma once
// The part of the runtime a program needs to read files and draw and save
// pictures without any window: text, memory blocks, images, drawing and
// files, started and stopped in the runtime's order. The general heap must
// exist before the start; the native layer is set up by the caller.
void start_picture_services();
void stop_picture_services();
