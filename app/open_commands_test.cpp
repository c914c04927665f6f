// Bringing a file into the source box, by "Open source file..." and by dropping it: UTF-8 as it
// is, anything else as Latin-1, a file with NUL bytes refused.

#include "app/dialog_fixture.h"
#include "app/source_file.h"
#include "text/box_text.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QUrl>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>

namespace {

using platform::MessageStyle;

class OpenTest : public DialogTest {
protected:
    // Drops `data` on the source box as a drag from another program would: the drag enters,
    // and the drop goes where the entering drag was taken.
    void Drop(QMimeData& data) {
        QWidget* viewport = static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE))->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
    }

    void DropFile(const std::string& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        const std::string before = dlg.GetDlgItemText(IDC_SOURCE);
        const std::size_t seen = messages.size();
        Drop(data);
        // The file is read once the drop has ended.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return dlg.GetDlgItemText(IDC_SOURCE) != before || messages.size() != seen; }));
    }
};

TEST_F(OpenTest, TextComesInAsIfPastedWhateverItsEncoding) {
    const std::string utf8 = "// gr\xC3\xBC\xC3\x9F\r\nint x;\tchar* s = \"\xE2\x82\xAC\";\n";
    WriteWholeFile("utf8.c", "\xEF\xBB\xBF" + utf8);
    std::string latin1 = "\r\n\t";
    for (int c = ' '; c < 256; ++c) {
        latin1 += char(c);
    }
    WriteWholeFile("latin1.c", latin1);
    const std::string latin1_shown = QString::fromLatin1(latin1).toUtf8().toStdString();

    dlg.SetDlgItemText(IDC_SOURCE, "before");
    next_file = (m_dir / "utf8.c").string();
    dlg.SetItemFocus(IDC_KEYWORD_LIST);
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(file_dialogs, std::vector<platform::FileDialogMode>{platform::FileDialogMode::Open});
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), "// gr\xC3\xBC\xC3\x9F\r\nint x;\tchar* s = "
                                              "\"\xE2\x82\xAC\";\r\n");
    // Undone as a paste is.
    static_cast<QPlainTextEdit*>(Widget(IDC_SOURCE))->undo();
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), "before");

    next_file = (m_dir / "latin1.c").string();
    dlg.OnOpenSourceFile();
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), latin1_shown) << "every byte a character";

    DropFile((m_dir / "utf8.c").string());
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE).substr(0, 9), "// gr\xC3\xBC\xC3\x9F");
    DropFile((m_dir / "latin1.c").string());
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), latin1_shown);
    EXPECT_TRUE(messages.empty());

    // Text dropped is text, where it is dropped.
    dlg.SetDlgItemText(IDC_SOURCE, "");
    QMimeData text;
    text.setText("dropped");
    Drop(text);
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), "dropped");
}

TEST_F(OpenTest, FilesThatAreNoTextAreRefusedAndTheBoxKeepsItsText) {
    WriteWholeFile("binary.o", std::string("ELF\0\1\2", 6));
    dlg.SetDlgItemText(IDC_SOURCE, "kept");
    const std::string binary = (m_dir / "binary.o").string();
    DropFile(binary);
    next_file = binary;
    dlg.OnOpenSourceFile();
    next_file = (m_dir / "missing.c").string();
    dlg.OnOpenSourceFile();
    next_file = m_dir.string();
    dlg.OnOpenSourceFile();
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), "kept");
    const std::string nul = "Not a text file, it holds NUL bytes !\n" + binary;
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{nul, nul,
                                        "Error opening file !\n" + (m_dir / "missing.c").string() +
                                            ": " + std::strerror(ENOENT),
                                        "Error opening file !\n" + m_dir.string() + ": " +
                                            std::strerror(EISDIR)}));
    for (const SeenMessage& m : messages) {
        EXPECT_EQ(m.caption, "Tarvo");
        EXPECT_EQ(m.style, MessageStyle::Stop);
    }
}

// A FIFO, endless zeros and a file too large for the box: each refused at once, named, in little
// memory, and the box keeps its text.
TEST_F(OpenTest, SpecialAndHugeFilesAreRefusedAtOnce) {
    MakeSpecialFiles(m_dir);
    WriteWholeFile("huge.c", "");
    ASSERT_EQ(::truncate("huge.c", off_t(556) << 20), 0);
    dlg.SetDlgItemText(IDC_SOURCE, "kept");
    const std::string fifo = (m_dir / "fifo").string();
    const std::string zero = (m_dir / "zero").string();
    const std::string huge = (m_dir / "huge.c").string();
    for (const std::string& path : {fifo, zero, huge}) {
        next_file = path;
        const auto start = std::chrono::steady_clock::now();
        dlg.OnOpenSourceFile();
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                  2.0)
            << path;
        const CallCost read = MeasureCall([&] {
            std::string text;
            off_t size = 0;
            return int(ReadSourceText(path.c_str(), text, size));
        });
        EXPECT_LT(read.seconds, 2.0) << path;
        EXPECT_LT(read.peak_growth_mb, 100) << path;
        EXPECT_NE(read.result, int(ReadStatus::Ok)) << path;
        TellCost("source box: " + path, read);
    }
    EXPECT_EQ(dlg.GetDlgItemText(IDC_SOURCE), "kept");
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Error opening file !\n" + fifo + ": not a regular file",
                                        "Error opening file !\n" + zero + ": not a regular file",
                                        "File too large for the box (556 MB) !\n" + huge +
                                            "\nThe box takes files of up to 32 MB."}));
}

// The check that chooses between UTF-8 and Latin-1 agrees with the toolkit's own decoder on
// random bytes near UTF-8's edges: lead bytes, continuations, overlong forms, surrogates.
TEST(SourceFile, Utf8IsTellsWhatTheToolkitDecodesWithoutError) {
    const unsigned char edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0,
                                   0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    std::mt19937 random(17);
    int valid = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        for (int n = int(random() % 6); n > 0; --n) {
            bytes += char(edges[random() % sizeof edges]);
        }
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
        ASSERT_EQ(IsValidUtf8(bytes), !decode.hasError())
            << QByteArray::fromStdString(bytes).toHex().toStdString();
        valid += IsValidUtf8(bytes) ? 1 : 0;
        ASSERT_EQ(Latin1ToUtf8(bytes), QString::fromLatin1(bytes).toUtf8().toStdString());
    }
    EXPECT_GT(valid, 2000) << "valid sequences were tried too";
}

} // namespace
