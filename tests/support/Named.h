#pragma once
// A window's parts found by their object names, as the operator finds them by their texts.
#include <QObject>
#include <QString>
#include <gtest/gtest.h>

// The child of parent of type T with this object name; null, and a failure, when there is none.
template <class T>
T* Named(const QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child) ADD_FAILURE() << "no " << name;
    return child;
}
