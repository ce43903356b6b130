#include "platform/desktopservices.h"

#include "platform/services.h"

#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRegularExpression>

namespace desktopservices {
namespace {

class BoxMessages final : public MessageSink {
public:
    MsgAnswer show(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) override
    {
        QMessageBox box;
        box.setWindowTitle(title);
        box.setText(text);
        switch (icon) {
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        }
        switch (buttons) {
        case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MsgButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        case QMessageBox::Cancel: return MsgAnswer::Cancel;
        default: return MsgAnswer::Ok;
        }
    }
};

class DialogFiles final : public FileChooser {
public:
    bool chooseOpen(const QString& title, const QString& folder, const QString& filter, QString& path) override
    {
        const QString p = QFileDialog::getOpenFileName(nullptr, title, folder, convertFilter(filter));
        if (p.isEmpty())
            return false;
        path = p;
        return true;
    }
    bool chooseSave(const QString& title, const QString& folder, const QString& filter,
                    const QString& suggestedName, bool confirmOverwrite, QString& path) override
    {
        const QString start = suggestedName.isEmpty() ? folder : folder + QLatin1Char('/') + suggestedName;
        const QString p = QFileDialog::getSaveFileName(
            nullptr, title, start, convertFilter(filter), nullptr,
            confirmOverwrite ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
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

// Latches Esc and the right mouse button from the application's events, so
// a drawing loop that polls them sees a press even between event passes.
class LatchedKeys final : public QObject, public KeyState {
public:
    bool escapeDown() override { return take(esc_); }
    bool rightButtonDown() override { return take(right_); }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
            esc_ = true;
        else if (e->type() == QEvent::MouseButtonPress
                 && static_cast<QMouseEvent*>(e)->button() == Qt::RightButton)
            right_ = true;
        return QObject::eventFilter(o, e);
    }

private:
    static bool take(bool& flag)
    {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const bool v = flag;
        flag = false;
        return v;
    }
    bool esc_ = false;
    bool right_ = false;
};

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
        QString label = parts[i];
        label.remove(QRegularExpression(QStringLiteral("\\s*\\(.*\\)\\s*$")));
        out << QStringLiteral("%1 (%2)").arg(label, patterns.join(QLatin1Char(' ')));
    }
    return out.join(QStringLiteral(";;"));
}

void install()
{
    static BoxMessages messages;
    static DialogFiles files;
    static DialogColors colors;
    static LatchedKeys* keys = nullptr;
    if (!keys) {
        keys = new LatchedKeys;
        qApp->installEventFilter(keys);
    }
    services::setMessages(&messages);
    services::setFiles(&files);
    services::setColors(&colors);
    services::setKeys(keys);
    services::setBusyHook([](bool on) {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
}

} // namespace desktopservices
