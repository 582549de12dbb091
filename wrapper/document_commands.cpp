// Document and view commands: the commands that carry no text and answer nothing.
#include "lumivexctl/lumivexcontrol.h"
#include "viewer_channel.h"

void LUMIVEXCONTROL::CLEARVIEW() { lvx::SendCommand(HWINDOW, lvx::VCMD_CLEAR, 0); }

void LUMIVEXCONTROL::SHOWABOUT() { lvx::SendCommand(HWINDOW, lvx::VCMD_ABOUT, 0); }

void LUMIVEXCONTROL::DOCUMENTPROPERTIES() { lvx::SendCommand(HWINDOW, lvx::VCMD_PROPERTIES, 0); }

// Any code is forwarded: the zoom codes are the caller's to choose.
void LUMIVEXCONTROL::SETZOOM(std::int32_t ZOOMMODE) { lvx::ForwardCode(HWINDOW, ZOOMMODE); }
