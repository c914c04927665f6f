#include "app/tarvo_app.h"

#include "app/tarvo_dlg.h"

CTarvoApp::CTarvoApp() : Application({"Tarvo", TARVO_VERSION, "tarvo"}) {}

bool CTarvoApp::InitInstance() {
    CTarvoDlg dlg;
    dlg.DoModal(); // how it ended makes no difference
    return false;
}
