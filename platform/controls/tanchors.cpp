#include "platform/controls/tanchors.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace platform {
namespace {

const char* const keeperName = "platform_anchorkeeper";

struct Rule {
    QPointer<QWidget> control;
    TAnchors anchors = TAnchors(akLeft) | akTop;
    TAlign align = TAlign::alNone;
};

// Lives as a child of the container and follows its size. Anchored controls
// move by the change of the container's size since the last application, so
// bounds set in between are kept relative to where they were put.
class AnchorKeeper : public QObject {
public:
    explicit AnchorKeeper(QWidget* container) : QObject(container), container_(container), size_(container->size())
    {
        setObjectName(QLatin1String(keeperName));
        container->installEventFilter(this);
    }

    static AnchorKeeper* of(QWidget* container, bool create)
    {
        auto* keeper = static_cast<AnchorKeeper*>(
            container->findChild<QObject*>(QLatin1String(keeperName), Qt::FindDirectChildrenOnly));
        if (!keeper && create)
            keeper = new AnchorKeeper(container);
        return keeper;
    }

    const Rule* findRule(const QWidget* control) const
    {
        for (const Rule& rule : rules_) {
            if (rule.control == control)
                return &rule;
        }
        return nullptr;
    }

    Rule& ruleFor(QWidget* control)
    {
        for (Rule& rule : rules_) {
            if (rule.control == control)
                return rule;
        }
        rules_.push_back(Rule{control});
        return rules_.back();
    }

    void apply()
    {
        const QSize now = container_->size();
        const int dw = now.width() - size_.width();
        const int dh = now.height() - size_.height();
        size_ = now;
        for (const Rule& rule : rules_) {
            if (rule.control && rule.align == TAlign::alNone)
                shift(rule, dw, dh);
        }
        dock();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == container_ && event->type() == QEvent::Resize)
            apply();
        return false;
    }

private:
    static void shift(const Rule& rule, int dw, int dh)
    {
        QRect r = rule.control->geometry();
        if (rule.anchors & akRight) {
            if (rule.anchors & akLeft)
                r.setWidth(r.width() + dw);
            else
                r.moveLeft(r.left() + dw);
        }
        if (rule.anchors & akBottom) {
            if (rule.anchors & akTop)
                r.setHeight(r.height() + dh);
            else
                r.moveTop(r.top() + dh);
        }
        setBounds(rule.control, r);
    }

    // Docked controls take their side in the order they were docked; the
    // client control gets what is left.
    void dock()
    {
        QRect free(QPoint(0, 0), container_->size());
        QWidget* client = nullptr;
        for (const Rule& rule : rules_) {
            QWidget* c = rule.control;
            if (!c || c->isHidden())
                continue;
            switch (rule.align) {
            case TAlign::alNone:
                break;
            case TAlign::alTop:
                setBounds(c, QRect(free.left(), free.top(), free.width(), c->height()));
                free.setTop(free.top() + c->height());
                break;
            case TAlign::alBottom:
                setBounds(c, QRect(free.left(), free.bottom() + 1 - c->height(), free.width(), c->height()));
                free.setBottom(free.bottom() - c->height());
                break;
            case TAlign::alLeft:
                setBounds(c, QRect(free.left(), free.top(), c->width(), free.height()));
                free.setLeft(free.left() + c->width());
                break;
            case TAlign::alRight:
                setBounds(c, QRect(free.right() + 1 - c->width(), free.top(), c->width(), free.height()));
                free.setRight(free.right() - c->width());
                break;
            case TAlign::alClient:
                client = c;
                break;
            }
        }
        if (client)
            setBounds(client, free);
    }

    // A hidden container gets its resize event only when shown; controls that
    // are containers themselves follow at once, so reading bounds before the
    // window is shown already gives the laid-out values.
    static void setBounds(QWidget* control, const QRect& bounds)
    {
        if (control->geometry() == bounds)
            return;
        control->setGeometry(bounds);
        if (AnchorKeeper* inner = of(control, false))
            inner->apply();
    }

    QWidget* container_;
    QSize size_;
    std::vector<Rule> rules_;
};

}  // namespace

void setanchors(QWidget* control, TAnchors anchors)
{
    QWidget* container = control ? control->parentWidget() : nullptr;
    if (!container)
        return;
    AnchorKeeper* keeper = AnchorKeeper::of(container, true);
    keeper->apply();
    keeper->ruleFor(control).anchors = anchors;
}

void setalign(QWidget* control, TAlign align)
{
    QWidget* container = control ? control->parentWidget() : nullptr;
    if (!container)
        return;
    AnchorKeeper* keeper = AnchorKeeper::of(container, true);
    keeper->ruleFor(control).align = align;
    keeper->apply();
}

namespace {
const Rule* ruleOf(const QWidget* control)
{
    QWidget* container = control ? control->parentWidget() : nullptr;
    const AnchorKeeper* keeper = container ? AnchorKeeper::of(container, false) : nullptr;
    return keeper ? keeper->findRule(control) : nullptr;
}
}  // namespace

TAnchors getanchors(const QWidget* control)
{
    const Rule* rule = ruleOf(control);
    return rule ? rule->anchors : TAnchors(akLeft) | akTop;
}

TAlign getalign(const QWidget* control)
{
    const Rule* rule = ruleOf(control);
    return rule ? rule->align : TAlign::alNone;
}

void applyanchors(QWidget* container)
{
    if (AnchorKeeper* keeper = container ? AnchorKeeper::of(container, false) : nullptr)
        keeper->apply();
}

}  // namespace platform
