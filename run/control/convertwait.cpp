#include "run/control/convertwait.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

ConvertWaitWindow::~ConvertWaitWindow()
{
    close();
}

QPoint ConvertWaitWindow::centredTopLeft(const QRect& screen, const QSize& outer)
{
    return {screen.left() + (screen.width() - outer.width()) / 2,
            screen.top() + (screen.height() - outer.height()) / 2};
}

void ConvertWaitWindow::show()
{
    if (!window_) {
        auto* w = new QWidget(nullptr, Qt::Dialog);
        w->setObjectName(QStringLiteral("frmConvertFileToORVFormat"));
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->setWindowTitle(QStringLiteral("Convert File To ORV File Format"));
        w->setFixedSize(kClientWidth, kClientHeight);
        auto* label =
            new QLabel(QStringLiteral("Converting file, and this may take a few minutes. Please Wait ..."), w);
        label->setObjectName(QStringLiteral("lblProgress"));
        label->setWordWrap(true);
        auto* layout = new QVBoxLayout(w);
        layout->addWidget(label);
        window_ = w;
    }
    window_->show();
    // The outer size (caption and borders) is known once it is shown.
    if (QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen())
        window_->move(centredTopLeft(screen->geometry(), window_->frameGeometry().size()));
}

void ConvertWaitWindow::close()
{
    if (window_) {
        QWidget* w = window_;
        window_.clear();
        w->close(); // deletes itself
    }
}
