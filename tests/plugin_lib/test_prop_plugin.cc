// The test item plug-in's library: its one entry point. (Named .cc so that
// the test-program glob leaves this folder alone.)
#include "plugin/test_prop_plugin.h"

extern "C" slvn::PropPlugin* slvn_CreatePropPlugin() {
  return new slvn::test::TestPropPlugin;
}
