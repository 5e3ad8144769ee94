#include "Tokenizer.h"

#include "afx/Afx.h"

CTokenizer::CTokenizer(Platform& platform, CString text)
    : m_platform(platform),
      m_strSource(text),
      m_strRemaining(text),
      m_strDelimiter(" "),
      m_bLastPending(FALSE) {}

BYTE CTokenizer::HasMoreTokens() {
    if (m_bLastPending) return TRUE;
    return m_strRemaining.Find(m_strDelimiter, m_platform.AnsiCodePage()) != -1 ? TRUE : FALSE;
}

CString CTokenizer::NextToken() {
    if (m_bLastPending) {
        m_bLastPending = FALSE;
        return m_strRemaining;
    }
    const CodePage& cp = m_platform.AnsiCodePage();
    const int n = m_strRemaining.GetLength();
    const int p = m_strRemaining.Find(m_strDelimiter, cp);
    if (p == -1) {
        AfxMessageBox(m_platform,
                      "Opps. I did not think this would happen.\n"
                      "Please tell the Tavrel team, who keep CTokenizer, what you were doing.",
                      MB_OK, 0);
        // Nothing is consumed; the next call hands out the rest once more.
        m_bLastPending = TRUE;
        return CString();
    }
    CString token = m_strRemaining.Left(p);
    m_strRemaining = m_strRemaining.Right(n - p - 1);
    if (m_strRemaining.Find(m_strDelimiter, cp) == -1) m_bLastPending = TRUE;
    return token;
}
