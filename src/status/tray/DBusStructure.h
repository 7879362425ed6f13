#pragma once

#include <QDBusArgument>

// Writes and reads a D-Bus structure member by member, in the order given, for the marshalling
// operators QtDBus asks of a structured type.
namespace DBusStructure {

template <typename T, typename... Members>
QDBusArgument& write(QDBusArgument& argument, const T& value, Members T::*... members) {
    argument.beginStructure();
    ((argument << value.*members), ...);
    argument.endStructure();
    return argument;
}

template <typename T, typename... Members>
const QDBusArgument& read(const QDBusArgument& argument, T& value, Members T::*... members) {
    argument.beginStructure();
    ((argument >> value.*members), ...);
    argument.endStructure();
    return argument;
}

} // namespace DBusStructure
