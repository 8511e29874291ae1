#include "platform/controls/tform.h"

#include <QPalette>

namespace platform {
namespace {
QPointer<TForm>& mainFormSlot()
{
    static QPointer<TForm> form;
    return form;
}
}  // namespace

TForm::TForm(QWidget* parent) : QDialog(parent)
{
    setAutoFillBackground(true);
}

QColor TForm::color() const
{
    return palette().color(QPalette::Window);
}

void TForm::setColor(const QColor& color)
{
    QPalette shades = palette();
    shades.setColor(QPalette::Window, color);
    setPalette(shades);
}

QObjectList TForm::components() const
{
    QObjectList out;
    out.reserve(components_.size());
    for (const QPointer<QObject>& component : components_) {
        if (component)
            out.append(component.data());
    }
    return out;
}

void TForm::addComponent(QObject* component)
{
    if (!component || component == this)
        return;
    for (const QPointer<QObject>& known : components_) {
        if (known == component)
            return;
    }
    // Drop the entries of destroyed components now and then, so a form that
    // makes and frees many controls does not keep growing its list.
    if (components_.size() >= 64 && components_.size() % 64 == 0)
        components_.removeAll(QPointer<QObject>());
    components_.append(component);
}

TForm* TForm::owningForm(const QObject* component)
{
    for (QObject* up = component ? component->parent() : nullptr; up; up = up->parent()) {
        if (auto* form = qobject_cast<TForm*>(up))
            return form;
    }
    return nullptr;
}

void TForm::setModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone)
        done(result);
}

void TForm::reject()
{
    done(mrCancel);
}

void TForm::done(int result)
{
    modalResult_ = result;
    QDialog::done(result);
}

TForm* TForm::mainForm()
{
    return mainFormSlot().data();
}

void TForm::setMainForm(TForm* form)
{
    mainFormSlot() = form;
}

void registercomponent(QObject* component)
{
    if (TForm* form = TForm::owningForm(component))
        form->addComponent(component);
}

}  // namespace platform
