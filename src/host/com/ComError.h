#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

// A failed COM call of the EchoLink binding: the step that failed, the HRESULT, and the
// system's description of it, in UTF-8.
class ComError : public std::runtime_error
{
public:
    ComError(const std::string &step, HRESULT result);

    HRESULT result() const { return m_result; }

private:
    HRESULT m_result;
};

// Throws ComError for a failing HRESULT.
void ThrowIfFailed(HRESULT result, const std::string &step);
