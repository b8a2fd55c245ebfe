// Help topics that the program opens by number. The help project maps each
// number to its page (Vantoric.hhp), and the program passes the same number
// to the help viewer.
#pragma once

#define IDH_MAIN_WINDOW 1
#define IDH_DIAGNOSE 2
