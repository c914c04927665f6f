#include "app/tarvo_app.h"

#include "app/tarvo_dlg.h"

#include <cstdio>
#include <string>

CTarvoApp::CTarvoApp() : Application({"Tarvo", TARVO_VERSION, "tarvo"}) {}

bool CTarvoApp::InitInstance() {
    CTarvoDlg dlg;
    ProfileFolder folder;
    std::string error;
    if (!ResolveProfileFolder(m_options.profile_dir, m_options.user_profiles, folder.path, error)) {
        // Started from a menu, nobody reads standard error: the box says it too.
        std::fprintf(stderr, "tarvo: %s\n", error.c_str());
        dlg.MessageBox("Can't use the profile folder !\n" + error, CTarvoDlg::kCaption,
                       platform::MessageStyle::Stop);
        m_failed = true;
        return false;
    }
    dlg.SetProfileFolder(folder);
    dlg.DoModal(); // how it ended makes no difference
    return false;
}
