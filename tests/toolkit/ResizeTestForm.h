// The framework tests' form (200 x 120 dialog units) as a resizable form
// view: the name edit stretches with the width, the check box at the bottom
// follows the height.
#pragma once

#include "platform/win/ResourceTable.h"
#include "tests/platform/mfc/fixtures/mfc_fixture.h"
#include "tests/toolkit/ControlTestHost.h"
#include "toolkit/controls/XTResizeFormView.h"

// The framework tests' resources, which hold the form.
const tavrin::win::ResourceTable& TavrinMfcFixtureResources();

namespace tavrin::test {

class TestResizeForm : public CXTResizeFormView {
public:
    TestResizeForm() : CXTResizeFormView(IDD_FORM, 0) {}
    BOOL OnInitDialog() override
    {
        CXTResizeFormView::OnInitDialog();
        SetResize(IDC_FORM_NAME, nullptr, CXTAnchorRect(0, 0, 1, 0));
        SetResize(IDC_FORM_CHECK, nullptr, CXTAnchorRect(0, 1, 0, 1));
        return TRUE;
    }
    CRect Item(UINT id) const { return ChildRect(this, id); }
};

} // namespace tavrin::test
