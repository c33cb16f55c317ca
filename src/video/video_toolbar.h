#pragma once

#include <ctime>
#include <string>

namespace slvn {

struct Client;

// The resource number of toolbar button i's normal or hover picture.
int ToolbarPicture(int index, bool hover);

// The toolbar of the four title bars: album, zoom, snapshot, video off.
void ImCmd_Click(Client& client, int index);
void ImCmd_MouseMove(Client& client, int index, int button, int shift, double x, double y);
void PicLocal_MouseMove(Client& client, int index, int button, int shift, double x, double y);
// The confirmation line of a snapshot in the message strip.
void ShowPhotoSavedMessage(Client& client);

// The snapshot file for a moment: the photo folder, then year, month, day,
// hour, minute and second as plain numbers, then ".bmp"; `repeat` above 1
// adds "-2", "-3"... before ".bmp".
std::string SnapshotFileName(const std::string& folder, const std::tm& when, int repeat);

}  // namespace slvn
