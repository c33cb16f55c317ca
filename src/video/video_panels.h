#pragma once

namespace slvn {

struct Client;

// Sizes and places the video frames, displays, title bars, toolbar buttons
// and reopen buttons of the table for the screen scale, all hidden; puts the
// panels' own pictures into them first. Runs once, from the table layout.
void LayoutVideoPanels(Client& client);

}  // namespace slvn
