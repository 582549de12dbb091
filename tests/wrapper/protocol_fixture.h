// The set-up shared by the command protocol tests: a host window, a recording viewer window inside
// it, and a wrapper object whose HWINDOW is the recording viewer. In ProtocolTest, message boxes
// are recorded and closed by the watcher.
#ifndef LUMIVEX_TESTS_WRAPPER_PROTOCOL_FIXTURE_H
#define LUMIVEX_TESTS_WRAPPER_PROTOCOL_FIXTURE_H

#include <gtest/gtest.h>

#include "lumivexctl/lumivexcontrol.h"
#include "message_box_watcher.h"
#include "recording_viewer.h"
#include "test_host_window.h"

namespace lvx::test {

// Without a message box watcher: for tests whose dialogs show boxes that a driver handles.
class RecordedViewerTest : public ::testing::Test {
 protected:
  RecordedViewerTest() { object.HWINDOW = viewer.Handle(); }

  [[nodiscard]] const Calls& Received() const { return viewer.Received(); }

  TestHostWindow host;
  RecordingViewer viewer{host.Window()};
  LUMIVEXCONTROL object;
};

class ProtocolTest : public RecordedViewerTest {
 protected:
  MessageBoxWatcher boxes;
};

}  // namespace lvx::test

#endif
