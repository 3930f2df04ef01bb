// TMXColorComboBox: a drop-down list of named colours, each drawn as a
// framed swatch and its name, ending with "Custom...", which opens the
// colour dialog and keeps the colour chosen there.
//
// Bind it to a dialog's combo box with CBS_DROPDOWNLIST, CBS_OWNERDRAWFIXED
// and CBS_HASSTRINGS (DDX_Control or SubclassDlgItem); it fills itself then
// with 24 standard colours and "Custom..." (white), and selects "White".
// The template should not sort: SetColor with a colour that is not listed
// recolours the last item, which is "Custom..." only in an unsorted list
// without colours added after it.
#pragma once

#include "TMXUIDefs.h"

class TMXUI_API TMXColorComboBox : public CComboBox {
public:
    TMXColorComboBox();
    ~TMXColorComboBox() override;

    // Appends an item; the colour becomes its data when the item was added.
    void AddColor(LPCWSTR name, COLORREF color);
    // The selected item's colour; CB_ERR (0xFFFFFFFF) with none selected.
    COLORREF GetColor() const;
    // Selects the first item of this colour, else gives the last item this
    // colour and selects it.
    void SetColor(COLORREF color);

protected:
    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;
    void OnSelchange();

private:
    void Initialise();

    DECLARE_MESSAGE_MAP()
};
