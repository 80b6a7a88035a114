#pragma once

// The largest image side the size control offers for a drawing mode: 400 for a single
// image; for the rotation image, what keeps the ring of 360/step touching sub-images within
// 660 pixels; for the animation, what keeps the whole frame series within about 1600 × 1600.
// step is rotation_step or animation_step in degrees (ignored for the single image).
int max_image_size(int draw_mode, float step);
