#include "toolkit/controls/XTThemeManager.h"

IMPLEMENT_DYNCREATE(CXTThemeManagerStyleFactory, CObject)

CXTThemeManagerStyleFactory::~CXTThemeManagerStyleFactory()
{
    delete m_pTheme;
    m_pTheme = nullptr;
    // Hosts that outlive their shared factory (at process exit) must not
    // reach back into it.
    for (CXTThemeManagerStyleHost* host = m_pHostList; host;) {
        CXTThemeManagerStyleHost* next = host->m_pNextHost;
        if (host->m_pSharedFactory == this)
            host->m_pSharedFactory = nullptr;
        host->m_pNextHost = nullptr;
        host = next;
    }
    m_pHostList = nullptr;
}

CXTThemeManagerStyle* CXTThemeManagerStyleFactory::CreateTheme(int /*nTheme*/)
{
    return nullptr;
}

void CXTThemeManagerStyleFactory::RefreshMetrics()
{
    if (m_pTheme)
        m_pTheme->RefreshMetrics();
}

CXTThemeManagerStyle* CXTThemeManagerStyleFactory::CreateStyle(int nTheme)
{
    CXTThemeManagerStyle* style = CreateTheme(nTheme);
    if (style)
        style->m_nTheme = nTheme;
    return style;
}

void CXTThemeManagerStyleFactory::Adopt(CXTThemeManagerStyle* pStyle)
{
    if (pStyle != m_pTheme)
        delete m_pTheme;
    m_pTheme = pStyle;
    if (m_pTheme) {
        m_pTheme->m_pFactory = this;
        m_pTheme->RefreshMetrics();
    }
}

void CXTThemeManagerStyleFactory::SetTheme(CXTThemeManagerStyle* pStyle)
{
    Adopt(pStyle);
    for (CXTThemeManagerStyleHost* host = m_pHostList; host; host = host->m_pNextHost)
        host->OnThemeChanged();
}

void CXTThemeManagerStyleFactory::AddHost(CXTThemeManagerStyleHost* pHost)
{
    pHost->m_pNextHost = m_pHostList;
    m_pHostList = pHost;
}

void CXTThemeManagerStyleFactory::RemoveHost(CXTThemeManagerStyleHost* pHost)
{
    for (CXTThemeManagerStyleHost** link = &m_pHostList; *link; link = &(*link)->m_pNextHost) {
        if (*link == pHost) {
            *link = pHost->m_pNextHost;
            pHost->m_pNextHost = nullptr;
            return;
        }
    }
}

int CXTThemeManagerStyleFactory::GetHostCount() const
{
    int count = 0;
    for (CXTThemeManagerStyleHost* host = m_pHostList; host; host = host->m_pNextHost)
        ++count;
    return count;
}

CXTThemeManagerStyleHost::CXTThemeManagerStyleHost(CRuntimeClass* pFactoryClass) : m_pFactoryClass(pFactoryClass)
{
    m_pSharedFactory = XTGetThemeManager()->GetFactory(pFactoryClass);
    if (m_pSharedFactory)
        m_pSharedFactory->AddHost(this);
}

CXTThemeManagerStyleHost::~CXTThemeManagerStyleHost()
{
    if (CXTThemeManagerStyleFactory* factory = GetFactory())
        factory->RemoveHost(this);
    if (m_bOwnsPrivateFactory)
        delete m_pPrivateFactory;
    m_pPrivateFactory = nullptr;
}

CXTThemeManagerStyleFactory* CXTThemeManagerStyleHost::CreateFactory()
{
    CObject* object = m_pFactoryClass ? m_pFactoryClass->CreateObject() : nullptr;
    auto* factory = dynamic_cast<CXTThemeManagerStyleFactory*>(object);
    if (!factory)
        delete object;
    return factory;
}

CXTThemeManagerStyle* CXTThemeManagerStyleHost::GetTheme()
{
    CXTThemeManagerStyleFactory* factory = GetFactory();
    if (!factory)
        return nullptr;
    if (!factory->m_pTheme)
        factory->Adopt(factory->CreateStyle(XTGetThemeManager()->GetTheme()));
    return factory->m_pTheme;
}

BOOL CXTThemeManagerStyleHost::SetTheme(CXTThemeManagerStyle* pStyle)
{
    if (!m_pPrivateFactory && !pStyle)
        return FALSE;
    if (CXTThemeManagerStyleFactory* factory = GetFactory())
        factory->RemoveHost(this);
    if (m_bOwnsPrivateFactory)
        delete m_pPrivateFactory;
    m_pPrivateFactory = nullptr;
    m_bOwnsPrivateFactory = FALSE;
    if (pStyle) {
        m_pPrivateFactory = CreateFactory();
        if (m_pPrivateFactory) {
            m_pPrivateFactory->SetTheme(pStyle);
            m_bOwnsPrivateFactory = TRUE;
        } else {
            delete pStyle; // taken, and nowhere to keep it
        }
    }
    OnThemeChanged();
    if (CXTThemeManagerStyleFactory* factory = GetFactory())
        factory->AddHost(this);
    return TRUE;
}

BOOL CXTThemeManagerStyleHost::SetTheme(int nTheme)
{
    return SetTheme(m_pSharedFactory ? m_pSharedFactory->CreateStyle(nTheme) : nullptr);
}

CXTThemeManager::~CXTThemeManager()
{
    for (auto& [runtimeClass, factory] : m_factories)
        delete factory;
    m_factories.clear();
}

void CXTThemeManager::SetTheme(int nTheme)
{
    if (nTheme == m_nTheme)
        return;
    m_nTheme = nTheme;
    for (auto& [runtimeClass, factory] : m_factories)
        factory->SetTheme(factory->CreateStyle(nTheme));
}

CXTThemeManagerStyleFactory* CXTThemeManager::GetFactory(CRuntimeClass* pFactoryClass)
{
    if (!pFactoryClass)
        return nullptr;
    for (auto& [runtimeClass, factory] : m_factories)
        if (runtimeClass == pFactoryClass)
            return factory;
    CObject* object = pFactoryClass->CreateObject();
    auto* factory = dynamic_cast<CXTThemeManagerStyleFactory*>(object);
    if (!factory) {
        delete object;
        return nullptr;
    }
    m_factories.emplace_back(pFactoryClass, factory);
    return factory;
}

CXTThemeManager* XTGetThemeManager()
{
    static CXTThemeManager manager;
    return &manager;
}

BOOL XTEnableControlThemes(BOOL bEnable)
{
    XTGetThemeManager()->SetTheme(bEnable ? xtThemeOfficeXP : xtThemeDefault);
    return bEnable;
}
