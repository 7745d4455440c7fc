#pragma once

class KTextFieldCell;

// Hears the return key of a text-field row.
class KTextFieldCellDelegate {
public:
    virtual ~KTextFieldCellDelegate();

    virtual void textFieldCellWillReturn(KTextFieldCell&) { }
};
