// Temporary: the command operations, until the command protocol lands. Each answers 0 and sends
// nothing, so the class links and the start-up can be tested on its own.
#include "lumivexctl/lumivexcontrol.h"

std::int32_t LUMIVEXCONTROL::LOADFILE(LvxOptionalText /*FILENAME*/) { return 0; }
std::int32_t LUMIVEXCONTROL::APPENDFILE(LvxOptionalText /*FILENAME*/) { return 0; }
void LUMIVEXCONTROL::DISABLEPRINT(std::int32_t /*PRINTFEATURE*/) {}
std::int32_t LUMIVEXCONTROL::FINDTEXT(LvxText /*SEARCHTEXT*/, std::uint8_t /*MARKFOUND*/,
                                      std::uint8_t /*USEFIND2*/, std::uint8_t /*PRESET*/,
                                      std::uint8_t /*OPTIONVALUE*/) {
  return 0;
}
void LUMIVEXCONTROL::_PRINT(std::uint8_t /*SHOWDIALOG*/, LvxOptionalInt32 /*FIRSTPAGE*/,
                            LvxOptionalInt32 /*LASTPAGE*/) {}
void LUMIVEXCONTROL::PRINTTOPRINTER(LvxText /*PRINTERNAME*/, LvxOptionalInt32 /*FIRSTPAGE*/,
                                    LvxOptionalInt32 /*LASTPAGE*/) {}
std::int32_t LUMIVEXCONTROL::GETPAGECOUNT() { return 0; }
std::int32_t LUMIVEXCONTROL::GETTEXTLENGTH(LvxOptionalInt32 /*PAGE*/) { return 0; }
void LUMIVEXCONTROL::GETTEXT(LvxTextField /*TEXT*/, LvxOptionalInt32 /*PAGE*/) {}
