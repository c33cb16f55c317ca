// The test item plug-in's library: its one entry point. (Named .cc so that
// the test-program glob leaves this folder alone.) For the real program the
// script comes from the file that SLVN_PROP_SCRIPT names.
#include <cstdlib>
#include <fstream>

#include "plugin/test_prop_plugin.h"

extern "C" slvn::PropPlugin* slvn_CreatePropPlugin() {
  auto* plugin = new slvn::test::TestPropPlugin;
  if (const char* path = std::getenv("SLVN_PROP_SCRIPT")) {
    std::ifstream script(path);
    if (!script || !slvn::test::ReadPluginScript(script, *plugin)) {
      delete plugin;
      return nullptr;
    }
  }
  return plugin;
}
