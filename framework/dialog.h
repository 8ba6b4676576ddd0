// Dialogs made from dialog templates, modal or modeless, bound to an object
// whose message map sees the dialog's messages.
#pragma once

#include "window.h"

class CDialog : public CWindow {
public:
    explicit CDialog(UINT templateId) : templateId_(templateId) {}

    // Runs the dialog modally; returns the value passed to EndDialog, or -1.
    INT_PTR DoModal(HWND parent);

    // Creates the dialog modeless (not shown unless its template says so).
    bool CreateModeless(HWND parent);

    void EndDialog(INT_PTR result);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    LRESULT DefaultProcedure(UINT, WPARAM, LPARAM) override { return 0; }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    UINT templateId_;
    bool modal_ = false;
};
