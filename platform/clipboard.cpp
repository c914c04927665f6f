#include "platform/clipboard.h"

#include "platform/app_text.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

void SetClipboardText(std::string_view plain, std::string_view html) {
    auto* data = new QMimeData; // the clipboard takes it over
    data->setText(FromAppText(plain));
    data->setHtml(FromAppText(html));
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace platform
