// UI context: plain storage of widget and context ids.
#include "coreplugin/icontext.h"

namespace Core {

IContext::IContext(QObject *parent) : QObject(parent) {}

IContext::~IContext() = default;

Context IContext::context() const
{
    return m_context;
}

QWidget *IContext::widget() const
{
    return m_widget;
}

void IContext::contextHelp(const HelpCallback &) const {}

void IContext::setContext(const Context &context)
{
    m_context = context;
}

void IContext::setWidget(QWidget *widget)
{
    m_widget = widget;
}

void IContext::setContextHelp(const HelpItem &) {}

} // namespace Core
