// The page form of a report and the components placed on it.
//
// A report is defined on a page form that is never shown: the form holds the
// report, its bands and the controls on the bands, in the order in which the
// form stores them. ReportForm is that container. It owns its components,
// keeps their order (the report run walks it), tells every component when
// another joins or leaves (so references to a removed band are dropped), and
// carries the form's pixels per inch and font, which controls inherit.
#pragma once

#include "platform/units.h"

#include "platform/canvas.h"

#include <QString>

#include <memory>
#include <utility>
#include <vector>

class ReportForm;

class ReportComponent {
public:
    virtual ~ReportComponent();
    ReportComponent(const ReportComponent&) = delete;
    ReportComponent& operator=(const ReportComponent&) = delete;

    const QString& Name() const { return name_; }
    void setName(const QString& name) { name_ = name; }

    // The form that owns this component, or null before it is added to one.
    ReportForm* owner() const { return owner_; }

protected:
    ReportComponent() = default;

    // Called before this component joins `form`; throwing refuses it.
    virtual void aboutToJoin(ReportForm& form);
    // Called on every component of the form after `component` joined it.
    virtual void componentInserted(ReportComponent& component);
    // Called on every other component of the form before `component` leaves
    // it: drop every reference to it.
    virtual void componentRemoving(ReportComponent& component);
    // Called on every component after `component` has left the form.
    virtual void componentRemoved();

private:
    friend class ReportForm;
    QString name_;
    ReportForm* owner_ = nullptr;
};

class ReportForm {
public:
    explicit ReportForm(int pixelsPerInch = platform::kDesignPixelsPerInch);
    ~ReportForm();
    ReportForm(const ReportForm&) = delete;
    ReportForm& operator=(const ReportForm&) = delete;

    // Pixels per inch of the form (F): design units are pixels at this resolution.
    int PixelsPerInch = platform::kDesignPixelsPerInch;
    // The form's font, inherited by bands (and through them by controls) whose
    // ParentFont is true.
    platform::CanvasFont Font;

    // Creates a component of type T owned by the form, appended to its order.
    template <class T, class... Args>
    T& add(const QString& name, Args&&... args)
    {
        auto component = std::make_unique<T>(std::forward<Args>(args)...);
        T& result = *component;
        component->setName(name);
        insert(std::move(component));
        return result;
    }

    // Takes `component` off the form and frees it; every other component
    // drops its references to it first.
    void remove(ReportComponent& component);

    // The components in the form's order.
    const std::vector<ReportComponent*>& components() const { return order_; }
    ReportComponent* findComponent(const QString& name) const;

private:
    void insert(std::unique_ptr<ReportComponent> component);

    std::vector<std::unique_ptr<ReportComponent>> owned_;
    std::vector<ReportComponent*> order_;
};
