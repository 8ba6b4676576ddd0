#include "dialog.h"

#include "application.h"

INT_PTR CDialog::DoModal(HWND parent)
{
    modal_ = true;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent,
                           DialogProcedure, reinterpret_cast<LPARAM>(this));
}

bool CDialog::CreateModeless(HWND parent)
{
    modal_ = false;
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_),
                                     parent, DialogProcedure, reinterpret_cast<LPARAM>(this));
    if (dialog)
        CApplication::AddModelessDialog(dialog);
    return dialog != nullptr;
}

void CDialog::EndDialog(INT_PTR result)
{
    if (modal_)
        ::EndDialog(m_hWnd, result);
    else
        DestroyWindow();
}

INT_PTR CALLBACK CDialog::DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                          LPARAM lParam)
{
    CDialog* self = static_cast<CDialog*>(FromHandle(dialog));
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        Bind(dialog, self);
    }
    if (!self)
        return FALSE;

    bool handled = false;
    const LRESULT result = Dispatch(self, dialog, message, wParam, lParam, &handled);
    if (!handled) {
        if (message == WM_INITDIALOG)
            return self->OnInitDialog();
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            self->OnOK();
            return TRUE;
        }
        if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
            self->OnCancel();
            return TRUE;
        }
    }
    if (message == WM_NCDESTROY) {
        CApplication::RemoveModelessDialog(dialog);
        Unbind(dialog);
        self->m_hWnd = nullptr;
        self->OnFinalMessage();
        return FALSE;
    }
    if (!handled)
        return FALSE;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}
