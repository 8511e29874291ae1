#pragma once
// The form: a window that owns named components and can run modally with a
// modal result.
#include <QColor>
#include <QDialog>
#include <QList>
#include <QPointer>

namespace platform {

// Modal results of forms and buttons. A result of 0 does not close a form.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14,
};

class TForm : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    Q_INVOKABLE explicit TForm(QWidget* parent = nullptr);

    QString caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }
    QColor color() const;
    void setColor(const QColor& color);

    // The components the form owns, in the order they were created, whichever
    // container shows them. Components that were destroyed are left out.
    QObjectList components() const;
    // Components register themselves when they are created inside the form;
    // this is for one created elsewhere and adopted later.
    void addComponent(QObject* component);
    // The form that owns `component` (by its chain of parents), or null.
    static TForm* owningForm(const QObject* component);

    // Setting a non-zero result ends a modal run with it; 0 keeps the form open.
    int modalResult() const { return modalResult_; }
    void setModalResult(int result);
    // Closing by the window system (close box, Escape) is a Cancel.
    void reject() override;
    void done(int result) override;

    // The program's main form, set by the program body for the first form it
    // creates; null until then and after it is destroyed.
    static TForm* mainForm();
    static void setMainForm(TForm* form);

private:
    QList<QPointer<QObject>> components_;
    int modalResult_ = mrNone;
};

// Called by every component's constructor: the form up the parent chain
// adopts it.
void registercomponent(QObject* component);

}  // namespace platform
