#pragma once

#include <QString>
#include <stdexcept>

// A runtime error as the user is told of it: a number and the description that the message
// boxes show ("Type mismatch", "Overflow", ...). Thrown by the exact decimals, the dynamic
// values, toNumeric and the database layer; caught by the handlers that report failures.
class VbError : public std::runtime_error {
public:
    VbError(int number, const QString& description);

    int number() const { return m_number; }
    QString description() const { return m_description; }

    static VbError invalidProcedureCall();  // 5 "Invalid procedure call or argument"
    static VbError overflow();              // 6 "Overflow"
    static VbError subscriptOutOfRange();   // 9 "Subscript out of range"
    static VbError divisionByZero();        // 11 "Division by zero"
    static VbError typeMismatch();          // 13 "Type mismatch"
    static VbError invalidUseOfNull();      // 94 "Invalid use of Null"

private:
    int m_number;
    QString m_description;
};
