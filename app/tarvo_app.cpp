#include "app/tarvo_app.h"

#include "app/tarvo_dlg.h"

#include <cstdio>
#include <string>

CTarvoApp::CTarvoApp() : Application({"Tarvo", TARVO_VERSION, "tarvo"}) {}

bool CTarvoApp::InitInstance() {
    CTarvoDlg dlg;
    ProfileFolder folder;
    std::string error;
    const ProfileFolderOptions& options = m_options.folder;
    if (!ResolveProfileFolder(options.dir, options.user, folder.path, error)) {
        // Started from a menu, nobody reads standard error: the box says it too.
        std::fprintf(stderr, "tarvo: %s\n", error.c_str());
        dlg.MessageBox("Can't use the profile folder !\n" + error, CTarvoDlg::kCaption,
                       platform::MessageStyle::Stop);
        m_failed = true;
        return false;
    }
    dlg.SetProfileFolder(folder);
    // A folder chosen on the command line is Tarvo's own: a new one gets a working profile. The
    // current directory keeps the classic first start, with an empty list.
    dlg.SeedNewProfileFolder(options.dir != nullptr || options.user);
    dlg.DoModal(); // how it ended makes no difference
    return false;
}
