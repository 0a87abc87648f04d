// A plain view for splitter panes: it paints itself white.
#pragma once

#include "platform/mfc/Document.h"

namespace tavrin::test {

class WhiteView : public CView {
    DECLARE_DYNCREATE(WhiteView)
public:
    void OnDraw(CDC* pDC) override;
};

} // namespace tavrin::test
