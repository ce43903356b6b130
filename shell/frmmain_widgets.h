#pragma once
// Small helpers for building the main window's controls (internal to the
// main window's source files). Each makes its control without a parent: the
// caller puts it into a layout or gives it a parent, so that the window
// owns it.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <initializer_list>

namespace frmmainwidgets {

template <class T> T* named(T* object, const char* name)
{
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

inline QLineEdit* textBox()
{
    auto* box = new QLineEdit;
    box->setMinimumWidth(60);
    return box;
}

// A drop-down list; `editable` lists also take a typed text.
inline QComboBox* listBox(bool editable = false)
{
    auto* list = new QComboBox;
    list->setEditable(editable);
    if (editable)
        list->setInsertPolicy(QComboBox::NoInsert);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(10);
    list->setMaxVisibleItems(18);
    return list;
}

inline QPushButton* browseButton()
{
    auto* b = new QPushButton(QStringLiteral("..."));
    b->setFixedWidth(32);
    return b;
}

// A vertical scroll bar used as a spinner: the up arrow lowers its value.
inline QScrollBar* spinner()
{
    auto* s = new QScrollBar(Qt::Vertical);
    s->setFixedSize(16, 26);
    s->setPageStep(1);
    return s;
}

// The dwell-time spinner's resting position (the middle of its range) and
// the largest dwell time it steps to.
constexpr int kDwellSpinnerRest = 500;
constexpr int kMaxDwellTime = 999;

// Makes the buttons one exclusive group (none checked until one is chosen).
inline QButtonGroup* exclusiveGroup(QObject* parent, std::initializer_list<QAbstractButton*> buttons)
{
    auto* group = new QButtonGroup(parent);
    group->setExclusive(true);
    for (QAbstractButton* b : buttons)
        group->addButton(b);
    return group;
}

} // namespace frmmainwidgets
