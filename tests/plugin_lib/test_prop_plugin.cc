// The test item plug-in's library: its one entry point. (Named .cc so that
// the test-program glob leaves this folder alone.) For the real program the
// script comes from the file that SLVN_PROP_SCRIPT names, and each call is
// appended as a line to the file that SLVN_PROP_RECORD names.
#include <cstdlib>
#include <fstream>
#include <string>

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
  if (const char* path = std::getenv("SLVN_PROP_RECORD")) {
    plugin->on_call = [record = std::string(path)](const std::string& call) {
      std::ofstream(record, std::ios::app) << call << '\n';
    };
  }
  return plugin;
}
