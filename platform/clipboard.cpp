#include "platform/clipboard.h"

#include "platform/app_text.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

void SetClipboardData(const std::vector<ClipboardItem>& items) {
    auto* data = new QMimeData; // the clipboard takes it over
    for (const ClipboardItem& item : items) {
        const QString type =
            QString::fromUtf8(item.mime_type.data(), qsizetype(item.mime_type.size()));
        if (item.mime_type == "text/plain") {
            data->setText(FromAppText(item.data));
        } else if (item.mime_type == "text/html") {
            data->setHtml(FromAppText(item.data));
        } else {
            const QByteArray bytes(item.data.data(), qsizetype(item.data.size()));
            data->setData(type, bytes);
#ifdef Q_OS_WIN
            if (item.mime_type == "text/rtf") {
                data->setData(
                    QStringLiteral("application/x-qt-windows-mime;value=\"Rich Text Format\""),
                    bytes);
            }
#endif
        }
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace platform
