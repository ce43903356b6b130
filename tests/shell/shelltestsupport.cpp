#include "shelltestsupport.h"

#include <QComboBox>

namespace shelltest {

QStringList entries(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

} // namespace shelltest
