#pragma once

namespace plinka {

// Where a key sits, left to right, on a standard full-size keyboard, as a stereo position: 0 in
// the middle of the letter block (between G and H), about -0.4 and 0.4 at its edges, the
// numeric keypad furthest right. Key codes are the theme's; a code no key bears (the sample
// slot among them) is 0.
float stereoPositionForKeyCode(int keyCode);

}  // namespace plinka
