#pragma once

#include <QString>

#include <exception>

namespace quorbel {

// The numbered run-time errors that the forms trap and report; numbers and descriptions are
// fixed, because users read them in messages such as "File not found53".
namespace err {
constexpr int InvalidProcedureCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int InternalError = 51;
constexpr int FileNotFound = 53;
constexpr int DiskFull = 61;
constexpr int InputPastEndOfFile = 62;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidPropertyValue = 380;
constexpr int InvalidPropertyArrayIndex = 381;
constexpr int CantCreatePersistentPicture = 480;
constexpr int InvalidPicture = 481;
} // namespace err

// One raised run-time error: its number and the description the user is shown.
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(int number);

    int number() const noexcept { return m_number; }
    QString description() const { return m_description; }
    // The description immediately followed by the number, as the error messages show it.
    QString descriptionAndNumber() const;

    const char *what() const noexcept override;

private:
    int m_number;
    QString m_description;
    QByteArray m_what;
};

QString errorDescription(int number);

// The error being handled, as a numbered run-time error: a failed allocation is 7, anything the
// program did not foresee is 51. Call it only inside a catch block.
RuntimeError currentError();

[[noreturn]] void raise(int number);

} // namespace quorbel
