#include "platform/desktopservices.h"

#include "platform/paths.h"
#include "platform/services.h"
#include "platform/x11keys.h"

#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSystemTrayIcon>

#include <algorithm>
#include <memory>

namespace desktopservices {
namespace {

class BoxMessages final : public MessageSink {
public:
    MsgAnswer show(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) override
    {
        switch (newMessageBox(title, text, icon, buttons)->exec()) {
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        default:
            return MsgAnswer::Ok;
        }
    }
};

class DialogFiles final : public FileChooser {
public:
    bool chooseOpen(const QString& title, const QString& folder, const QString& filter, QString& path) override
    {
        return run(newFileDialog(title, folder, filter, false, false), path);
    }
    bool chooseSave(const QString& title, const QString& folder, const QString& filter, const QString& suggestedName,
                    bool confirmOverwrite, QString& path) override
    {
        const QString start = suggestedName.isEmpty() ? folder : paths::join(folder, suggestedName);
        return run(newFileDialog(title, start, filter, true, confirmOverwrite), path);
    }

private:
    static bool run(const std::unique_ptr<QFileDialog>& dialog, QString& path)
    {
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return false;
        const QString p = dialog->selectedFiles().first();
        if (p.isEmpty())
            return false;
        path = p;
        return true;
    }
};

class DialogColors final : public ColorChooser {
public:
    bool choose(const QColor& initial, QColor& chosen) override
    {
        const QColor c = QColorDialog::getColor(initial);
        if (!c.isValid())
            return false;
        chosen = c;
        return true;
    }
};

// Esc and the right mouse button as a drawing loop polls them. A press seen
// by the application counts once, and only while it is fresh, so a press
// made long before (say, Esc to close a dialog) never stops a later run.
// The right button also counts while it is held. Polling never runs the
// event loop: a poll inside drawing or measuring must not re-enter the
// program.
class LatchedKeys final : public QObject, public KeyState {
public:
    bool escapeDown() override { return esc_.take(); }
    bool rightButtonDown() override
    {
        const bool held = QGuiApplication::mouseButtons().testFlag(Qt::RightButton);
        return right_.take() || held;
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
            esc_.press();
        else if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton)
            right_.press();
        return QObject::eventFilter(o, e);
    }

private:
    struct Latch {
        static constexpr qint64 kFreshMs = 1500;
        QElapsedTimer since;
        bool pending = false;
        void press()
        {
            pending = true;
            since.start();
        }
        bool take()
        {
            const bool v = pending && since.isValid() && since.elapsed() <= kFreshMs;
            pending = false;
            return v;
        }
    };
    Latch esc_;
    Latch right_;
};

// On X11 a key or button that is down anywhere counts, also while every
// window of the program is hidden; a press the program itself received
// still counts through the latch, so a short tap between two polls is not
// lost. Without X11 the latch alone answers.
class SessionKeys final : public KeyState {
public:
    SessionKeys(KeyState& latch, std::unique_ptr<X11Keys> x11)
        : latch_(latch)
        , x11_(std::move(x11))
    {
    }
    bool escapeDown() override
    {
        const bool latched = latch_.escapeDown();
        return (x11_ && x11_->escapeDown()) || latched;
    }
    bool rightButtonDown() override
    {
        const bool latched = latch_.rightButtonDown();
        return (x11_ && x11_->rightButtonDown()) || latched;
    }

private:
    KeyState& latch_;
    std::unique_ptr<X11Keys> x11_;
};

// The session's notification area as Qt finds it: a status-notifier host on
// the session bus, or an X11 tray manager. A window manager alone has none.
class SessionTray final : public NotificationArea {
public:
    bool available() override { return QSystemTrayIcon::isSystemTrayAvailable(); }
};

// The busy pointer: the hourglass, or none while a shown window hides the
// pointer (the full-screen display of a board must stay without one).
Qt::CursorShape busyCursorShape()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool hidden = std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* w) {
        return w->isVisible() && w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::BlankCursor;
    });
    return hidden ? Qt::BlankCursor : Qt::WaitCursor;
}

} // namespace

QString convertFilter(const QString& filter)
{
    if (!filter.contains(QLatin1Char('|')))
        return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString t = p.trimmed();
            if (t == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            // "*.txt" -> "*.[tT][xX][tT]"
            QString ci;
            for (const QChar ch : t) {
                if (ch.isLetter() && ch.toLower() != ch.toUpper())
                    ci += QLatin1Char('[') + ch.toLower() + ch.toUpper() + QLatin1Char(']');
                else
                    ci += ch;
            }
            patterns << ci;
        }
        // The label stays as given (the dialog hides the patterns after it).
        out << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(QLatin1Char(' ')));
    }
    return out.join(QStringLiteral(";;"));
}

std::unique_ptr<QMessageBox> newMessageBox(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons)
{
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(title);
    box->setText(text);
    switch (icon) {
    case MsgIcon::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Exclamation:
        box->setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Question:
        box->setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Critical:
        box->setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::None:
        box->setIcon(QMessageBox::NoIcon);
        break;
    }
    switch (buttons) {
    case MsgButtons::Ok:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    return box;
}

std::unique_ptr<QFileDialog> newFileDialog(const QString& title, const QString& start, const QString& filter, bool save,
                                           bool confirmOverwrite)
{
    auto dialog = std::make_unique<QFileDialog>(nullptr, title, start, convertFilter(filter));
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    if (save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    return dialog;
}

void install()
{
    static BoxMessages messages;
    static DialogFiles files;
    static DialogColors colors;
    static SessionTray tray;
    static LatchedKeys* latch = nullptr;
    static SessionKeys* keys = nullptr;
    if (!keys) {
        latch = new LatchedKeys;
        qApp->installEventFilter(latch);
        keys = new SessionKeys(*latch, X11Keys::create());
    }
    services::setMessages(&messages);
    services::setFiles(&files);
    services::setColors(&colors);
    services::setKeys(keys);
    services::setNotificationArea(&tray);
    services::setBusyHook([](bool on) {
        if (on)
            QApplication::setOverrideCursor(busyCursorShape());
        else
            QApplication::restoreOverrideCursor();
    });
}

} // namespace desktopservices
