#pragma once

namespace slvn {

struct Client;

// The one-time layout of the table area for the screen scale: the first
// half runs while the window loads (after the picture tables), the second
// after the window is shown.
void LayoutTable(Client& client);
void LayoutTableWidgets(Client& client);

}  // namespace slvn

namespace slvn {

class MainForm;

// Places the wild-tile streak spot with its backdrop; the spot is cleared
// and stays hidden.
void PlaceStreakSpot(MainForm& f, float sx, float sy);

}  // namespace slvn
