#pragma once
// The standard controls. Each is the Qt widget that plays its part, with the
// family's names for caption, text, items and selection. Every control joins
// the components of the form it is created in; the Q_INVOKABLE constructors
// let a copy of a control be made from its class alone.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

namespace platform {

// Set (true) on a control that is a part of another one and goes with it.
inline constexpr char subcomponentProperty[] = "subcomponent";

class TLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    // Plain text, top-left: a file name with "<" or "&" shows as it is.
    Q_INVOKABLE explicit TLabel(QWidget* parent = nullptr);
    QString caption() const { return text(); }
    // With autoSize (the default) the label takes the size of its new caption,
    // kept inside its parent (keepInsideParent).
    void setCaption(const QString& caption);
    // A label grown to its text that would run past its parent's right or
    // bottom edge moves left or up, as far as the parent's left or top edge,
    // so that the text is seen whole.
    void keepInsideParent();
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on) { autoSize_ = on; }

private:
    bool autoSize_ = true;
};

class TButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(int modalResult READ modalResult WRITE setModalResult)
public:
    Q_INVOKABLE explicit TButton(QWidget* parent = nullptr);
    QString caption() const { return text(); }
    void setCaption(const QString& caption)
    {
        setText(caption);
        offerWholeCaption();
    }
    // A non-zero modal result closes the button's form with it on a click.
    int modalResult() const { return modalResult_; }
    void setModalResult(int result) { modalResult_ = result; }
    // The size a new button gets: the toolkit's size for an empty push button,
    // 80 x 35 where the toolkit gives none, and never below the classic 75 x 25.
    static QSize standardSize();

    // Whether the caption is cut short ("…") because the button is too
    // narrow for it; the whole caption is then the button's tooltip.
    bool captionElided() const;

protected:
    // Every click passes here before clicked() is emitted; the modal result
    // belongs to this button alone, so a copy of the button that forwards
    // its clicks does not close this button's form.
    void nextCheckState() override;
    // A caption wider than the button is drawn cut short with "…" instead of
    // clipped at both ends; the caption itself stays as it is.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The room the caption has inside the button's frame.
    int captionRoom() const;
    void offerWholeCaption();

    int modalResult_ = 0;
    bool tooltipIsCaption_ = false;
};

class TEdit : public QLineEdit {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TEdit(QWidget* parent = nullptr);
};

// An edit with its caption label above it; the label follows the edit.
class TLabeledEdit : public TEdit {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TLabeledEdit(QWidget* parent = nullptr);
    ~TLabeledEdit() override;
    TLabel* editLabel() const { return label_; }
    void setVisible(bool visible) override;

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    void placeLabel();
    QPointer<TLabel> label_;
};

// A multi-line plain-text edit. Its text is line based: every line is
// followed by CR LF, and an empty memo has no lines.
class TMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TMemo(QWidget* parent = nullptr);
    QStringList lines() const;
    void setLines(const QStringList& lines);
    QString text() const;
    // Lines are separated by CR LF, LF or CR; one final line break ends the
    // last line rather than starting an empty one.
    void setText(const QString& text);
};

class TListBox : public QListWidget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TListBox(QWidget* parent = nullptr);
    QStringList items() const;
    void setItems(const QStringList& items);
    int itemIndex() const { return currentRow(); }
    void setItemIndex(int index) { setCurrentRow(index); }
};

// A drop-down list. Editable, it accepts any text; otherwise only its items.
class TComboBox : public QComboBox {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TComboBox(QWidget* parent = nullptr);
    QStringList items() const;
    void setItems(const QStringList& items);
    int itemIndex() const { return currentIndex(); }
    void setItemIndex(int index) { setCurrentIndex(index); }
    QString text() const { return currentText(); }
    // Editable: shows the text. Pick-only: selects the item of that text
    // (ignoring case) or none.
    void setText(const QString& text);
    // The index of the item of that text, ignoring case; -1 when there is none.
    int indexOfText(const QString& text) const;
};

class TCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    Q_INVOKABLE explicit TCheckBox(QWidget* parent = nullptr);
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
};

class TRadioButton : public QRadioButton {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    Q_INVOKABLE explicit TRadioButton(QWidget* parent = nullptr);
    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
};

class TGroupBox : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    Q_INVOKABLE explicit TGroupBox(QWidget* parent = nullptr);
    QString caption() const { return title(); }
    void setCaption(const QString& caption) { setTitle(caption); }
};

// A group of radio buttons made from a list of texts; one of them (or none)
// is selected.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    Q_INVOKABLE explicit TRadioGroup(QWidget* parent = nullptr);
    QString caption() const { return title(); }
    void setCaption(const QString& caption) { setTitle(caption); }
    QStringList items() const { return items_; }
    void setItems(const QStringList& items);
    int itemIndex() const;
    // -1 selects none.
    void setItemIndex(int index);

signals:
    void itemIndexChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeButtons();
    QStringList items_;
    QList<QRadioButton*> buttons_;
};

// A container with a bevel, a colour and an optional centred caption.
class TPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    Q_INVOKABLE explicit TPanel(QWidget* parent = nullptr);
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    QColor color() const;
    void setColor(const QColor& color);
    // Raised (the default) or none.
    void setBevel(bool raised);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

}  // namespace platform
