// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The about box: its texts, its fixed place and size, how it closes, and that it blocks the window.
#include "app/frmMain.h"
#include "common/Twips.h"
#include "editor/EditorControl.h"
#include "help/frmAbout.h"
#include "support/ScriptedPrompts.h"
#include "support/TestMain.h"
#include "support/TestWindow.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <functional>

namespace
{

using Window = TestWindow;

// What one showing of the about box looked like from inside its modal loop.
struct Showing {
    bool opened = false;
    bool leftOpen = false;
};

// Chooses Help > About and, once the box is the modal window, runs `whileOpen` on it inside the
// modal loop. A box still open after that is closed, so that a failing test cannot hang.
Showing ShowAbout(frmMain &form, const std::function<void(frmAbout &)> &whileOpen)
{
    Showing showing;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        if (!showing.opened) {
            showing.opened = true;
            whileOpen(*box);
            return;
        }
        showing.leftOpen = true;
        box->done(QDialog::Rejected);
    });
    poll.start();
    form.mnuAbout->trigger();
    poll.stop();
    return showing;
}

// Puts the application's font back when a test that changed it ends, passed or failed.
struct FontGuard {
    ~FontGuard() { QApplication::setFont(original); }
    QFont original = QApplication::font();
};

// Whether the label's whole text, wrapped as the label wraps it, lies within its box.
bool ShowsWholeText(const QLabel &label)
{
    const QRect box = label.contentsRect();
    const int flags = Qt::AlignLeft | Qt::AlignTop | (label.wordWrap() ? Qt::TextWordWrap : 0);
    const QRect needed = QFontMetrics(label.font())
                             .boundingRect(QRect(0, 0, box.width(), 10000), flags, label.text());
    return needed.width() <= box.width() && needed.height() <= box.height();
}

QString ExpectedTitle()
{
    // Major and minor of the one version number the build defines; the patch level is not shown.
    return QStringLiteral("Quillmark (%1)")
        .arg(QStringLiteral(QUILLMARK_VERSION).section(QLatin1Char('.'), 0, 1));
}

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT

private slots:
    void titleShowsMajorAndMinorAsPlainNumbers_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1.0") << 1 << 0 << "Quillmark (1.0)";
        QTest::newRow("1.5") << 1 << 5 << "Quillmark (1.5)";
        QTest::newRow("1.10") << 1 << 10 << "Quillmark (1.10)";
        QTest::newRow("12.3") << 12 << 3 << "Quillmark (12.3)";
    }

    void titleShowsMajorAndMinorAsPlainNumbers()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, expected);
        QCOMPARE(AboutTitle(QStringLiteral("Quillmark"), major, minor), expected);
    }

    // Each text in its exact words, in every showing: a box kept from the last showing would
    // show what was spoilt in it then.
    void everyShowingShowsTheTexts_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QString>("text");
        QTest::newRow("caption") << "caption"
                                 << "About Quillmark";
        QTest::newRow("title") << "lblTitle" << ExpectedTitle();
        QTest::newRow("rights notice naming the licence")
            << "lblVersion"
            << "Copyright © 2026 The Quillmark developers. Free software under the GNU GPL, "
               "version 3 or later.";
        QTest::newRow("credits with the editor component's years")
            << "lblDescription"
            << "Editor engine: Scintilla © 1998–2003 Neil Hodgson; QScintilla © 2018–2020 "
               "Riverbank Computing Limited.";
        QTest::newRow("warning within the licence")
            << "lblDisclaimer"
            << "Warning: this program is protected by copyright law and international treaties. "
               "Reproduction or distribution of it, whole or in part, outside the terms of its "
               "licence is liable to civil and criminal penalties.";
    }

    void everyShowingShowsTheTexts()
    {
        QFETCH(QString, part);
        QFETCH(QString, text);
        Window w;
        QStringList shown;
        for (int showing = 0; showing < 2; ++showing) {
            QPointer<frmAbout> shownBox;
            QVERIFY(ShowAbout(*w.form, [&](frmAbout &box) {
                        shownBox = &box;
                        auto *label = box.findChild<QLabel *>(part);
                        shown << (label ? label->text() : box.windowTitle());
                        if (label)
                            label->setText(QStringLiteral("stale"));
                        else
                            box.setWindowTitle(QStringLiteral("stale"));
                        box.cmdOK->click();
                    }).opened);
            QVERIFY2(shownBox.isNull(), "the closed box was kept");
        }
        QCOMPARE(shown, QStringList(2, text));
    }

    void showsArtworkWithOkFocused()
    {
        Window w;
        bool okFocused = false;
        QSize emblem, pictureBox;
        int pictureBorder = 0;
        bool hasIcon = false;
        const Showing showing = ShowAbout(*w.form, [&](frmAbout &box) {
            okFocused = box.focusWidget() == box.cmdOK;
            emblem = box.picIcon->pixmap().size();
            pictureBox = box.picIcon->size();
            pictureBorder = box.picIcon->frameWidth();
            hasIcon = !box.windowIcon().isNull();
            box.cmdOK->click();
        });
        QVERIFY(showing.opened);
        QVERIFY(!showing.leftOpen);
        QVERIFY(okFocused);
        QCOMPARE(emblem, QSize(32, 64));
        QCOMPARE(pictureBox, emblem + QSize(2 * pictureBorder, 2 * pictureBorder));
        QVERIFY(hasIcon);
        QVERIFY(w.prompts->errors.isEmpty());
    }

    void everyNoticeIsShownWhole_data()
    {
        QTest::addColumn<int>("desktopPointSize");
        QTest::newRow("desktop's own font") << 0;
        QTest::newRow("large desktop font") << 16;
    }

    void everyNoticeIsShownWhole()
    {
        QFETCH(int, desktopPointSize);
        FontGuard guard;
        if (desktopPointSize > 0) {
            QFont large = guard.original;
            large.setPointSize(desktopPointSize);
            QApplication::setFont(large);
        }
        Window w;
        QStringList cutOff;
        const Showing showing = ShowAbout(*w.form, [&](frmAbout &box) {
            for (QLabel *label :
                 {box.lblTitle, box.lblVersion, box.lblDescription, box.lblDisclaimer}) {
                if (label->text().isEmpty() || !ShowsWholeText(*label))
                    cutOff << label->objectName();
            }
            box.cmdOK->click();
        });
        QVERIFY(showing.opened);
        QCOMPARE(cutOff, QStringList());
    }

    void closesOnOkEnterEscapeAndTheCloseBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("space on the focused OK") << int(Qt::Key_Space);
        QTest::newRow("close box") << 0;
    }

    void closesOnOkEnterEscapeAndTheCloseBox()
    {
        QFETCH(int, key);
        Window w;
        const Showing showing = ShowAbout(*w.form, [&](frmAbout &box) {
            if (key == 0)
                box.close();
            else
                QTest::keyClick(box.windowHandle(), Qt::Key(key));
        });
        QVERIFY(showing.opened);
        QVERIFY2(!showing.leftOpen, "the box stayed open");
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }

    void blocksTheMainWindowWhileOpen()
    {
        Window w;
        QTest::keyClick(w.form->windowHandle(), Qt::Key_A);
        QCOMPARE(w.form->Code->Text(), QStringLiteral("a"));
        bool modal = false;
        ShowAbout(*w.form, [&](frmAbout &box) {
            modal = QApplication::activeModalWidget() == &box && box.isModal();
            QTest::keyClick(w.form->windowHandle(), Qt::Key_B);
            QTest::keyClick(w.form->windowHandle(), Qt::Key_N, Qt::ControlModifier);
            box.cmdOK->click();
        });
        QVERIFY(modal);
        QCOMPARE(w.form->Code->Text(), QStringLiteral("a"));
        QTest::keyClick(w.form->windowHandle(), Qt::Key_C);
        QCOMPARE(w.form->Code->Text(), QStringLiteral("ac"));
    }

    void fixedSizeAtItsDesignedPlaceOffTheTaskBar()
    {
        Window w;
        QRect geometry;
        QSize minimum, maximum, afterResize;
        Qt::WindowFlags flags;
        QWindow *transientParent = nullptr;
        ShowAbout(*w.form, [&](frmAbout &box) {
            geometry = box.geometry();
            minimum = box.minimumSize();
            maximum = box.maximumSize();
            flags = box.windowFlags();
            transientParent = box.windowHandle()->transientParent();
            box.resize(800, 600);
            afterResize = box.size();
            box.cmdOK->click();
        });
        const QScreen *screen = w.form->screen();
        const double dpiX = screen->logicalDotsPerInchX();
        const double dpiY = screen->logicalDotsPerInchY();
        const QSize client(TwipsToPixels(5640, dpiX), TwipsToPixels(3000, dpiY));
        QCOMPARE(geometry.size(), client);
        QCOMPARE(geometry.topLeft(),
                 screen->geometry().topLeft() +
                     QPoint(TwipsToPixels(2340, dpiX), TwipsToPixels(1935, dpiY)));
        QCOMPARE(minimum, client);
        QCOMPARE(maximum, client);
        QCOMPARE(afterResize, client);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QCOMPARE(transientParent, w.form->windowHandle());
    }
};

QUILLMARK_TEST_MAIN(AboutTest)
#include "tst_about.moc"
