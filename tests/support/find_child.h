#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>

namespace quorvane::testing {

// A widget or action found by its object name, as a user's tool would find it;
// the window keeps its widgets to itself.
template <typename T>
T* Child(const QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << "no " << name;
    return child;
}

}  // namespace quorvane::testing
