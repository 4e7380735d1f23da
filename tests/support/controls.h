#pragma once

// The windows keep their forms to themselves: a test finds a control the way the form names it,
// by its objectName, and a control that is not there stops the test at once with its name.

#include <QObject>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace cuemora::testing {

template <typename T>
T* control(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromUtf8(name));
    if (!found) {
        std::fprintf(stderr, "%s has no control \"%s\" of the class %s\n", window->metaObject()->className(), name,
                     T::staticMetaObject.className());
        std::abort();
    }
    return found;
}

} // namespace cuemora::testing

// One member of a struct of controls, named as the form names the control; the struct's first
// member is `m_window`, the window it looks in.
#define CUEMORA_CONTROL(Type, name) Type* const name = ::cuemora::testing::control<Type>(m_window, #name)
