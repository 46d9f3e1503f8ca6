#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QString>
#include <QWidget>

#include <type_traits>

// Names a control for the tests (its object name) and for screen readers (its accessible name,
// where it is a widget); a combo box's list too, which has no name of its own when it opens.
template<class Object> Object *Named(Object *object, const char *objectName, const QString &role)
{
    object->setObjectName(QString::fromLatin1(objectName));
    if constexpr (std::is_base_of_v<QComboBox, Object>)
        object->view()->setAccessibleName(role);
    if (auto *widget = qobject_cast<QWidget *>(object))
        widget->setAccessibleName(role);
    return object;
}
