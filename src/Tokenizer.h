// Cuts a text into tokens at a delimiter, one token per call.
#pragma once

#include "Platform.h"
#include "afx/CString.h"

class CTokenizer {
public:
    // `platform` gives the code page for the delimiter search and shows the
    // misuse message; the delimiter is a single blank until SetDelimiter.
    CTokenizer(Platform& platform, CString text);
    virtual ~CTokenizer() = default;

    void SetDelimiter(CString delimiter) { m_strDelimiter = delimiter; }

    // The next token. Of a delimiter longer than one byte only its first byte
    // is consumed. Callers ask HasMoreTokens first; a call when it would
    // answer FALSE tells the user and returns an empty token.
    virtual CString NextToken();
    // TRUE while a delimiter remains or the last token is still to come.
    virtual BYTE HasMoreTokens();

    const CString& Remaining() const { return m_strRemaining; }

private:
    Platform& m_platform;
    CString m_strSource;
    CString m_strRemaining;
    CString m_strDelimiter;
    BYTE m_bLastPending;
};
