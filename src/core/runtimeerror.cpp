#include "core/runtimeerror.h"

#include <new>

namespace quorbel {

QString errorDescription(int number)
{
    switch (number) {
    case err::InvalidProcedureCall:
        return QStringLiteral("Invalid procedure call or argument");
    case err::Overflow:
        return QStringLiteral("Overflow");
    case err::OutOfMemory:
        return QStringLiteral("Out of memory");
    case err::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case err::InternalError:
        return QStringLiteral("Internal error");
    case err::FileNotFound:
        return QStringLiteral("File not found");
    case err::DiskFull:
        return QStringLiteral("Disk full");
    case err::InputPastEndOfFile:
        return QStringLiteral("Input past end of file");
    case err::PermissionDenied:
        return QStringLiteral("Permission denied");
    case err::PathFileAccessError:
        return QStringLiteral("Path/File access error");
    case err::PathNotFound:
        return QStringLiteral("Path not found");
    case err::InvalidPropertyValue:
        return QStringLiteral("Invalid property value");
    case err::InvalidPropertyArrayIndex:
        return QStringLiteral("Invalid property array index");
    case err::CantCreatePersistentPicture:
        return QStringLiteral("Can't create persistent picture image");
    case err::InvalidPicture:
        return QStringLiteral("Invalid picture");
    }
    return QStringLiteral("Application-defined or object-defined error");
}

RuntimeError::RuntimeError(int number)
    : m_number(number)
    , m_description(errorDescription(number))
    , m_what(descriptionAndNumber().toUtf8())
{
}

QString RuntimeError::descriptionAndNumber() const
{
    return m_description + QString::number(m_number);
}

const char *RuntimeError::what() const noexcept
{
    return m_what.constData();
}

RuntimeError currentError()
{
    try {
        throw;
    } catch (const RuntimeError &error) {
        return error;
    } catch (const std::bad_alloc &) {
        return RuntimeError(err::OutOfMemory);
    } catch (...) {
        return RuntimeError(err::InternalError);
    }
}

void raise(int number)
{
    throw RuntimeError(number);
}

} // namespace quorbel
