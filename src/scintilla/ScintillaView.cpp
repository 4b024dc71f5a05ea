// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later
// ScintillaView: editor defaults, key map and the accessibility cost guard for QScintilla.
#include "ScintillaView.h"

#include "EditForecast.h"
#include "syntax/Styles.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QColor>
#include <QInputMethodEvent>
#include <QList>
#include <QMouseEvent>
#include <QPointer>
#include <QResizeEvent>

#include <algorithm>
#include <cstring>

namespace
{

// QScintilla's own accessible object counts the characters from the start of the text at every
// caret move, and its modification handler does the same for every insertion and deletion. On a
// large script that makes each keystroke cost time in proportion to the caret's offset. While no
// assistive technology listens, views get a plain accessible object instead and no insert or
// delete notifications; when one becomes active, QScintilla's full support is switched back on.
QList<QPointer<ScintillaView>> &LiveViews()
{
    static QList<QPointer<ScintillaView>> views;
    return views;
}

// Whether assistive technology listens, as the last activation notice said.
bool assistiveTechnologyActive = false;

QAccessibleInterface *PlainAccessibleWhileInactive(const QString &className, QObject *object)
{
    if (assistiveTechnologyActive || className != QLatin1String("ScintillaView") ||
        !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::EditableText);
}

class AccessibilitySwitch : public QAccessible::ActivationObserver
{
public:
    void accessibilityActiveChanged(bool active) override
    {
        assistiveTechnologyActive = active;
        for (const auto &view : LiveViews()) {
            if (!view)
                continue;
            // Drop the cached accessible object so the next query builds the right kind.
            if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(view))
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
            view->UpdateEventMask();
        }
    }
};

void InstallAccessibilityGuard()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    assistiveTechnologyActive = QAccessible::isActive();
    QAccessible::installFactory(PlainAccessibleWhileInactive);
    static AccessibilitySwitch observer;
    QAccessible::installActivationObserver(&observer);
}

// A key held with Ctrl or with Alt is a chord, which never types. A character typed through AltGr
// is not: X11 reports AltGr as the group switch, and Windows as Ctrl and Alt together, which
// Qt's own text fields let type as well.
bool IsChord(const QKeyEvent &key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    const bool control = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    const bool eitherNotBoth = control != alt;
    return eitherNotBoth && !(modifiers & Qt::GroupSwitchModifier);
}

// The part of a long line outside its window is plain text, only not drawn: its braces count as
// those in the window do.
long StyleAsShown(long style)
{
    return style == ShownStyle::HiddenText ? ShownStyle::ColouredDefault : style;
}

} // namespace

ScintillaView::ScintillaView(QWidget *parent) : QsciScintilla(parent), call_(*this)
{
    InstallAccessibilityGuard();
    LiveViews().append(this);

    setUtf8(true);
    setTabWidth(4);
    setCaretLineVisible(true);
    setCaretLineBackgroundColor(QColor(0xEE, 0xF4, 0xFF));
    setMarginType(0, QsciScintilla::NumberMargin);
    setMarginLineNumbers(0, true);
    // Draw straight to the widget: Qt already double-buffers, and Scintilla's own buffer is a
    // pixmap without the screen's pixel ratio, which blurs text on high-dpi screens.
    SendScintilla(SCI_SETBUFFEREDDRAW, 0L);
    // The horizontal scroll bar grows with the longest line shown instead of a fixed width.
    SendScintilla(SCI_SETSCROLLWIDTH, 1L);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1L);
    // Keep the layouts of every line on screen, not only the caret's: a key then lays out its own
    // line again, not each line shown, which on a screen of long lines is most of the cost.
    SendScintilla(SCI_SETLAYOUTCACHE, SC_CACHE_PAGE);
    RemoveMenuKeys();
    BindZoomKeys();
    UpdateEventMask();
    call_.FitLineNumbers();

    // QScintilla's own handler of caret moves reports the caret's column, counted from the line's
    // start at every move (a second a key at the end of a line of 100 MB), and matches braces.
    // Nobody here listens for the column; the braces are matched below.
    disconnect(this, SIGNAL(SCN_UPDATEUI(int)), this, SLOT(handleUpdateUI(int)));
    ForwardNotifications();
}

// The view's own upkeep comes first; then the program hears what it listens for.
void ScintillaView::ForwardNotifications()
{
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        const bool content = updated & SC_UPDATE_CONTENT;
        const bool selection = updated & SC_UPDATE_SELECTION;
        if (content)
            call_.FitLineNumbers();
        if (content || selection)
            HighlightBraces();
        emit call_.Updated(content, selection);
    });
    connect(this, &QsciScintillaBase::SCN_CHARADDED, this,
            [this](int character) { emit call_.CharacterAdded(character); });
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, [this] { call_.RefitLineNumbers(); });
    connect(this, &QsciScintillaBase::SCN_MARGINCLICK, this,
            [this](int position, int, int margin) { emit call_.MarginClicked(position, margin); });
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int length) {
                if (type & SC_MOD_INSERTCHECK)
                    KeepWithinLimits(position, length);
            });
}

// Scintilla asks before every insertion, whatever made it; one that would pass the limits is made
// empty, so positions never overflow and no line outgrows the memory. The user's edits and the
// commands' were checked whole before they began (EditForecast, ScintillaCall::Allows), as an
// insertion refused here may come after its edit cleared a selection; this is the last line. The
// report waits until the edit is over: a message box inside it would re-enter Scintilla.
void ScintillaView::KeepWithinLimits(long position, int length)
{
    const QString refusal = call_.InsertionRefusal(position, length);
    if (refusal.isEmpty())
        return;
    SendScintilla(SCI_CHANGEINSERTION, 0UL, "");
    call_.RefuseEdit(refusal);
}

BracePair ScintillaView::BracesAtCaret() const
{
    const long length = SendScintilla(SCI_GETLENGTH);
    const auto braceAt = [this, length](long position) {
        if (position < 0 || position >= length)
            return '\0';
        const auto character =
            static_cast<char>(SendScintilla(SCI_GETCHARAT, static_cast<unsigned long>(position)));
        return character != '\0' && std::strchr("()[]{}", character) ? character : '\0';
    };
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    long brace = caret - 1;
    char character = braceAt(brace);
    if (!character)
        character = braceAt(++brace);
    if (!character)
        return {};
    return {brace, BracePartner(brace, character, length)};
}

// Scintilla's own matching would walk to the end of the text for a brace that has no partner,
// a second in a script of 100 MB at every key after a typed "(": matching looks only so far.
// As Scintilla's does, it counts only braces coloured as the first one is, so braces in strings
// and comments do not count. Braces are ASCII, never part of another character's bytes.
long ScintillaView::BracePartner(long brace, char character, long length) const
{
    const char *pairs = "()[]{}";
    const long index = std::strchr(pairs, character) - pairs;
    const char partner = pairs[index ^ 1];
    const bool forward = index % 2 == 0;
    const long from = forward ? brace + 1 : std::max(0L, brace - BraceReachBytes);
    const long to = forward ? std::min(length, brace + 1 + BraceReachBytes) : brace;
    const auto *bytes = reinterpret_cast<const char *>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
    const long style =
        StyleAsShown(SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(brace)));
    int depth = 1;
    for (long at = forward ? from : to - 1; at >= from && at < to; at += forward ? 1 : -1) {
        const char byte = bytes[at - from];
        if ((byte != character && byte != partner) ||
            StyleAsShown(SendScintilla(SCI_GETSTYLEAT, static_cast<unsigned long>(at))) != style)
            continue;
        depth += byte == character ? 1 : -1;
        if (depth == 0)
            return at;
    }
    const bool reachedTheEdge = forward ? to == length : from == 0;
    return reachedTheEdge ? -1 : BracePair::OutOfReach;
}

// The brace before the caret, or else the one after it, is lit with its partner, or alone in
// the bad-brace style when it has none; nothing is lit when its partner lies beyond reach.
void ScintillaView::HighlightBraces()
{
    BracePair braces = BracesAtCaret();
    if (braces.partner == BracePair::OutOfReach)
        braces = BracePair();
    if (braces.brace >= 0 && braces.partner < 0)
        SendScintilla(SCI_BRACEBADLIGHT, static_cast<unsigned long>(braces.brace));
    else
        SendScintilla(SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(braces.brace), braces.partner);
}

ScintillaView::~ScintillaView()
{
    LiveViews().removeAll(QPointer<ScintillaView>());
    LiveViews().removeAll(this);
}

void ScintillaView::UpdateEventMask()
{
    // Insert checks are always on: one cheap question per insertion, no text counted, lets the
    // owner refuse text that would pass the document's limit.
    const long accessibility =
        assistiveTechnologyActive ? (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT) : 0;
    const long mask = SC_MOD_INSERTCHECK | accessibility;
    SendScintilla(SCI_SETMODEVENTMASK, mask);
}

void ScintillaView::paintEvent(QPaintEvent *event)
{
    call_.PaintStarts();
    QsciScintilla::paintEvent(event);
    call_.PaintDone();
}

// QScintilla types the text of every key it has no command for, Ctrl+1 or Alt+F included. A
// chord reaches it without its text: its command, where it has one, runs as ever, and a chord
// bound to nothing does nothing.
void ScintillaView::keyPressEvent(QKeyEvent *event)
{
    if (call_.KeyFirst(*event))
        return;
    if (!IsChord(*event)) {
        PressChecked(*event);
        return;
    }
    QKeyEvent withoutText(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                          event->nativeVirtualKey(), event->nativeModifiers(), QString(),
                          event->isAutoRepeat(), event->count());
    PressChecked(withoutText);
    event->accept();
}

// The key goes to QScintilla only when the edit it makes keeps within the limits.
void ScintillaView::PressChecked(QKeyEvent &key)
{
    if (!call_.Allows(EditForecast::OfKey(*this, key)))
        return;
    const ScintillaCall::CheckedEdit checked(call_);
    QsciScintilla::keyPressEvent(&key);
    call_.KeyDone();
}

// The horizontal scroll bar appears a moment after a line wider than the view is first painted
// (Ctrl+End to a long last line), and takes the bottom of the view: a caret on the bottom line
// would be hidden behind it until a key scrolled. A caret shown before the text area became
// shorter is kept in view.
void ScintillaView::resizeEvent(QResizeEvent *event)
{
    QsciScintilla::resizeEvent(event);
    const long lineHeight = SendScintilla(SCI_TEXTHEIGHT, 0UL);
    if (event->size().height() >= event->oldSize().height() || lineHeight <= 0)
        return;
    const long top = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const long caret = SendScintilla(
        SCI_VISIBLEFROMDOCLINE,
        static_cast<unsigned long>(SendScintilla(
            SCI_LINEFROMPOSITION, static_cast<unsigned long>(SendScintilla(SCI_GETCURRENTPOS)))));
    const long shownBefore = event->oldSize().height() / lineHeight;
    if (caret >= top + SendScintilla(SCI_LINESONSCREEN) && caret < top + shownBefore)
        SendScintilla(SCI_SCROLLCARET);
}

// A step refused leaves the composition shown as it was, and QScintilla's count of it true; a
// step with nothing in it QScintilla passes over.
void ScintillaView::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty() && !call_.AwaitWholeText())
        return;
    if (!call_.Allows(EditForecast::OfInput(*this, *event, preeditBytes_)))
        return;
    const ScintillaCall::CheckedEdit checked(call_);
    QsciScintilla::inputMethodEvent(event);
    if (!event->commitString().isEmpty() || !event->preeditString().isEmpty() ||
        event->replacementLength() != 0)
        preeditBytes_ = event->preeditString().toUtf8().size();
    call_.KeyDone();
}

void ScintillaView::cut()
{
    if (!call_.Allows(EditForecast::OfCut(*this)))
        return;
    const ScintillaCall::CheckedEdit checked(call_);
    QsciScintilla::cut();
}

void ScintillaView::paste()
{
    if (!call_.Allows(EditForecast::OfPaste(*this, QClipboard::Clipboard)))
        return;
    const ScintillaCall::CheckedEdit checked(call_);
    QsciScintilla::paste();
}

void ScintillaView::dropEvent(QDropEvent *event)
{
    if (!call_.Allows(EditForecast::OfDrop(*this, *event))) {
        event->ignore();
        return;
    }
    const ScintillaCall::CheckedEdit checked(call_);
    QsciScintilla::dropEvent(event);
}

// The middle button pastes the text last selected anywhere where it is clicked.
void ScintillaView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        const long at =
            SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(event->position().x()),
                          static_cast<long>(event->position().y()));
        if (!call_.Allows(EditForecast::OfPasteAt(*this, at, QClipboard::Selection)))
            return;
    }
    const ScintillaCall::CheckedEdit checked(call_);
    QsciScintilla::mousePressEvent(event);
}

void ScintillaView::RemoveMenuKeys()
{
    // The window's menu owns these shortcuts; Scintilla must not take them first. Ctrl+Y is
    // not a redo key in this program, so it is unbound as well.
    QsciCommandSet *commands = standardCommands();
    const QsciCommand::Command freed[] = {QsciCommand::Undo, QsciCommand::Redo,
                                          QsciCommand::SelectionCut, QsciCommand::SelectionCopy,
                                          QsciCommand::Paste};
    for (QsciCommand::Command command : freed) {
        if (QsciCommand *bound = commands->find(command))
            bound->setKey(0);
    }
}

// Zoom on the keys other programs use: Ctrl++ (Ctrl+Shift+= on keyboards where + is shifted, or
// on the keypad) and Ctrl+= zoom in, Ctrl+- zooms out and Ctrl+0 gives the normal size back.
// QScintilla binds Ctrl++ and Ctrl+- itself; Scintilla runs any message as a key's command.
void ScintillaView::BindZoomKeys()
{
    if (QsciCommand *zoomIn = standardCommands()->find(QsciCommand::ZoomIn))
        zoomIn->setAlternateKey(QKeyCombination(Qt::CTRL, Qt::Key_Equal).toCombined());
    const auto bind = [this](int key, int modifiers, unsigned int message) {
        SendScintilla(SCI_ASSIGNCMDKEY, static_cast<unsigned long>(key | modifiers << 16),
                      static_cast<long>(message));
    };
    bind('+', SCMOD_CTRL | SCMOD_SHIFT, SCI_ZOOMIN);
    bind('0', SCMOD_CTRL, SCI_SETZOOM);
}

// The one place that makes the view, so that nothing outside this folder needs its class.
ScintillaCall &ScintillaCall::Create(QWidget &parent)
{
    return (new ScintillaView(&parent))->Call();
}
