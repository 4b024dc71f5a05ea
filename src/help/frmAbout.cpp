// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// frmAbout: the about box: the program, its version and licence, and the editor engine's credits.
#include "frmAbout.h"

#include "common/Twips.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace
{

constexpr int ClientWidthTwips = 5640;
constexpr int ClientHeightTwips = 3000;
constexpr int ClientLeftTwips = 2340;
constexpr int ClientTopTwips = 1935;
constexpr int RuleTopTwips = 1800;
constexpr int WhiteRuleLengthTwips = 5549;

const char *const RightsNotice = "Copyright \u00a9 2026 The Quillmark developers. Free software "
                                 "under the GNU GPL, version 3 or later.";

// The years and holders the editor component's own copyright notices give.
const char *const Credits = "Editor engine: Scintilla \u00a9 1998\u20132003 Neil Hodgson; "
                            "QScintilla \u00a9 2018\u20132020 Riverbank Computing Limited.";

// The licence allows copying and passing the program on; only doing so against its terms is
// what the warning may speak of.
const char *const Disclaimer =
    "Warning: this program is protected by copyright law and international treaties. "
    "Reproduction or distribution of it, whole or in part, outside the terms of its licence is "
    "liable to civil and criminal penalties.";

// The smallest size a label's font is stepped down to when the desktop's font is too large.
constexpr double SmallestPointSize = 6.0;

bool TextFits(const QLabel &label)
{
    if (label.wordWrap())
        return label.heightForWidth(label.width()) <= label.height();
    const QSize needed = label.sizeHint();
    return needed.width() <= label.width() && needed.height() <= label.height();
}

// Each label has a fixed box; a desktop font too large for it is stepped down until the text
// fits, so that no notice is ever cut off.
void ShrinkToFit(QLabel &label)
{
    QFont font = label.font();
    while (!TextFits(label) && font.pointSizeF() - 0.5 >= SmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        label.setFont(font);
    }
}

QScreen *ScreenOf(const QWidget *owner)
{
    if (owner != nullptr)
        return owner->screen();
    return QGuiApplication::primaryScreen();
}

QLabel *NewLabel(QWidget *parent, const char *name, const QString &text, bool black)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (black) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    return label;
}

QFrame *NewLine(QWidget *parent, const char *name, const QColor &colour)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

} // namespace

QString AboutTitle(const QString &title, int major, int minor)
{
    return title + QStringLiteral(" (") + QString::number(major) + QLatin1Char('.') +
           QString::number(minor) + QLatin1Char(')');
}

frmAbout::frmAbout(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      dpiX_(ScreenOf(owner)->logicalDotsPerInchX()), dpiY_(ScreenOf(owner)->logicalDotsPerInchY())
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowIcon(QIcon(QStringLiteral(":/quillmark/icon.png")));
    setSizeGripEnabled(false);
    BuildControls();
    PlaceOnScreen();
    Form_Load();
    for (QLabel *label : {lblTitle, lblVersion, lblDescription, lblDisclaimer})
        ShrinkToFit(*label);
}

QRect frmAbout::TwipsRect(int left, int top, int width, int height) const
{
    return QRect(TwipsToPixels(left, dpiX_), TwipsToPixels(top, dpiY_), TwipsToPixels(width, dpiX_),
                 TwipsToPixels(height, dpiY_));
}

void frmAbout::BuildControls()
{
    picIcon = NewLabel(this, "picIcon", QString(), false);
    picIcon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon->setLineWidth(2);
    picIcon->setPixmap(QPixmap(QStringLiteral(":/quillmark/emblem.xpm")));
    // The box fits the picture inside its sunken border, wherever its corner lands.
    const int border = 2 * picIcon->frameWidth();
    picIcon->setGeometry(QRect(TwipsRect(240, 240, 0, 0).topLeft(),
                               picIcon->pixmap().size() + QSize(border, border)));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(TwipsRect(4680, 2040, 900, 345));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });

    // The engraved rule: a two-pixel white line with a one-pixel grey line over its top row.
    const int ruleTop = TwipsToPixels(RuleTopTwips, dpiY_);
    Line1[0] = NewLine(this, "Line1_0", Qt::white);
    Line1[0]->setGeometry(0, ruleTop, TwipsToPixels(WhiteRuleLengthTwips, dpiX_), 2);
    Line1[1] = NewLine(this, "Line1_1", QColor(128, 128, 128));
    Line1[1]->setGeometry(0, ruleTop, TwipsToPixels(ClientWidthTwips, dpiX_), 1);
    Line1[1]->raise();

    lblDescription = NewLabel(this, "lblDescription", QString::fromUtf8(Credits), true);
    lblDescription->setGeometry(TwipsRect(1050, 1020, 4470, 690));
    lblDescription->setWordWrap(true);

    lblTitle = NewLabel(this, "lblTitle", QString(), true);
    lblTitle->setGeometry(TwipsRect(1050, 240, 3885, 240));

    lblVersion = NewLabel(this, "lblVersion", QString::fromUtf8(RightsNotice), false);
    // The notice names the licence as well as the holders, on two lines.
    lblVersion->setGeometry(TwipsRect(1050, 540, 4470, 420));
    lblVersion->setWordWrap(true);

    lblDisclaimer = NewLabel(this, "lblDisclaimer", QString::fromUtf8(Disclaimer), true);
    lblDisclaimer->setGeometry(TwipsRect(120, 1920, 4575, 945));
    lblDisclaimer->setWordWrap(true);

    cmdOK->setFocus();
}

// The box opens where it was designed, measured from the screen's corner, not over the owner.
void frmAbout::PlaceOnScreen()
{
    const QPoint corner = ScreenOf(parentWidget())->geometry().topLeft();
    const QSize client(TwipsToPixels(ClientWidthTwips, dpiX_),
                       TwipsToPixels(ClientHeightTwips, dpiY_));
    setFixedSize(client);
    setGeometry(QRect(corner + QPoint(TwipsToPixels(ClientLeftTwips, dpiX_),
                                      TwipsToPixels(ClientTopTwips, dpiY_)),
                      client));
}

void frmAbout::Form_Load()
{
    const QString title = QCoreApplication::applicationName();
    setWindowTitle(QStringLiteral("About ") + title);
    lblTitle->setText(AboutTitle(title, QUILLMARK_VERSION_MAJOR, QUILLMARK_VERSION_MINOR));
}

void frmAbout::cmdOK_Click()
{
    accept();
}
