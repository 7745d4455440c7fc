#pragma once

namespace ui {

class ScrollView;

// What a scroll view tells its delegate. The table view's delegate extends it.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate();
    virtual void scrollViewDidScroll(ScrollView&) { }
    virtual void scrollViewWillBeginDragging(ScrollView&) { }
    virtual void scrollViewDidEndDragging(ScrollView&, bool /* willDecelerate */) { }
};

}
