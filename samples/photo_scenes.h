#pragma once
// Procedural scenes in full colour, smooth and textured as photographs
// are, for the photo-like corpus. Each is the same on every call.
#include "rgb_picture.h"

namespace photo {

// Outdoors: skies, land and water.
RgbPicture sunset();      // the sun going down over hills and the sea
RgbPicture clouds();      // a blue sky full of soft clouds
RgbPicture hills();       // rolling green hills and fields
RgbPicture night_city();  // a moonlit skyline with lit windows and stars
RgbPicture dunes();       // desert dunes lit from the side
RgbPicture forest();      // tree trunks in green haze and light shafts
RgbPicture underwater();  // light rays and caustics over a sandy floor
RgbPicture mountains();   // snowy peaks above a dark wooded valley
RgbPicture aurora();      // green and violet curtains over pines

// Close up: surfaces, objects, a face.
RgbPicture marble();    // white marble with grey veins
RgbPicture wood();      // planks with rings and grain
RgbPicture portrait();  // a face with hair and shoulders on a backdrop
RgbPicture fruit();     // shaded fruit on a table
RgbPicture fire();      // flames rising from the bottom
RgbPicture spectrum();  // every hue, from pale to dark
RgbPicture bokeh();     // out-of-focus lights on a dark ground
RgbPicture bricks();    // a lamp-lit brick wall
RgbPicture pebbles();   // rounded stones of many shades

}  // namespace photo
