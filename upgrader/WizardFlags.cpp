#include "upgrader/WizardFlags.h"

bool bAuto = false;
bool bSerial = false;

namespace zorv
{
    bool bTest_fwug = false;
    bool bEsc = false;
    bool bForAnyZorv = false;
    bool protectUiQ = false;
    int _num_UpgradeSuccess = 0;
    bool bResetTitle = true;

    void giveUp()
    {
        bEsc = true;
        bSerial = false;
    }
}
