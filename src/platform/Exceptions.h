#pragma once

#include <QString>
#include <exception>
#include <string>

// Exception hierarchy of the runtime: every error carries a German message.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}
    const QString& Message() const { return m_message; }
    const char* what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

class EConvertError : public Exception { using Exception::Exception; };
class ERangeError : public Exception { using Exception::Exception; };
class EInOutError : public Exception { using Exception::Exception; };
class EListError : public Exception { using Exception::Exception; };
class EComponentError : public Exception { using Exception::Exception; };
class EIniFileException : public Exception { using Exception::Exception; };
class EResNotFound : public Exception { using Exception::Exception; };
