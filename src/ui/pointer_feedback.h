#pragma once

namespace slvn {

struct Client;

// The pointer on the bare table switches every hover state off: the bar's
// pictures, a lifted own tile, the player card, the warehouse button, the
// plug-in's enlarged video, the float-bet options and the video tip.
void Pic1_MouseMove(Client& client, double x, double y);
// The hover family of the table's badges and options.
void img_piaoOpt_MouseMove(Client& client, int index);
void imgBeishu_MouseMove(Client& client);
void lblDifen_MouseMove(Client& client);
void Imgwealth_MouseMove(Client& client);
void lbwealth_MouseMove(Client& client);
void imgLocation_MouseMove(Client& client);

void ConnectPointerFeedback(Client& client);

}  // namespace slvn
