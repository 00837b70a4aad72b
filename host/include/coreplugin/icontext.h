// Core::IContext: a UI context (widget plus context ids) registered with the host.
#pragma once

#include "utils/id.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace Core {

class HelpItem;

class Context
{
public:
    Context() = default;
    explicit Context(Utils::Id c1) { m_ids.append(c1); }

    bool isEmpty() const { return m_ids.isEmpty(); }
    bool contains(Utils::Id c) const { return m_ids.contains(c); }
    void add(Utils::Id c) { m_ids.append(c); }

private:
    QList<Utils::Id> m_ids;
};

class IContext : public QObject
{
    Q_OBJECT

public:
    // Inline, as in the IDE, which exports none of these.
    explicit IContext(QObject *parent = nullptr) : QObject(parent) {}

    using HelpCallback = std::function<void(const HelpItem &item)>;

    virtual Context context() const { return m_context; }
    virtual QWidget *widget() const { return m_widget; }
    virtual void contextHelp(const HelpCallback & /*callback*/) const {} // no help in our host
    virtual void setContext(const Context &context) { m_context = context; }
    virtual void setWidget(QWidget *widget) { m_widget = widget; }
    virtual void setContextHelp(const HelpItem & /*id*/) {}

private:
    Context m_context;
    QPointer<QWidget> m_widget;
};

} // namespace Core
