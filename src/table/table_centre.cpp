#include "table/table_centre.h"

#include "shell/client.h"

namespace slvn {

TablePoint Pic1Centre(const Client& client) {
  const MainForm& form = client.main_form;
  const double per_pixel = form.InnerUnitsPerPixel();
  return {form.Pic1.Width() / per_pixel / 2, form.Pic1.Height() / per_pixel / 2};
}

}  // namespace slvn
