#include "core/SharedFlags.h"

#include "core/ControlIds.h"

int isZoomNorLR = 0;
int isJogLorR = 0;
bool displayingExpander = false;
int g_LasPtcl4Usdf = 0;

zorv::PID_S layoutProductId()
{
    return displayingExpander ? zorv::ProductIds::TrevanX : zorv::ProductIds::TrevanM;
}

const int zomjog2cid[3][2] = { { ControlIds::leftJogHalf, ControlIds::rightJogHalf },
                               { ControlIds::cursorLeft,  ControlIds::cursorRight },
                               { ControlIds::cursorUp,    ControlIds::cursorDown } };
