// The loader's clients: registration from both sides, so whichever goes
// first leaves the other without a dangling pointer.
#include "DatenLoaderUnit.h"

#include <algorithm>

void TDatenLoader::AddClient(TLoaderClient* Client)
{
    if (!Client || std::find(m_clients.begin(), m_clients.end(), Client) != m_clients.end())
        return;
    m_clients.push_back(Client);
    Client->AddLoader(this);
}

void TDatenLoader::RemoveClient(TLoaderClient* Client)
{
    const auto it = std::find(m_clients.begin(), m_clients.end(), Client);
    if (it != m_clients.end())
        m_clients.erase(it);
}

TLoaderClient::TLoaderClient() = default;

TLoaderClient::TLoaderClient(TDatenLoader* Loader) : TLoaderClient()
{
    if (Loader)
        Loader->AddClient(this);
}

TLoaderClient::~TLoaderClient()
{
    const std::vector<TDatenLoader*> loaders = m_loaders;
    for (TDatenLoader* loader : loaders)
        loader->RemoveClient(this);
}

void TLoaderClient::NeueDaten(TDatenLoader* Loader)
{
    if (OnNeueDaten)
        OnNeueDaten(Loader);
}

void TLoaderClient::AddLoader(TDatenLoader* Loader)
{
    if (Loader && std::find(m_loaders.begin(), m_loaders.end(), Loader) == m_loaders.end())
        m_loaders.push_back(Loader);
}

void TLoaderClient::RemoveLoader(TDatenLoader* Loader)
{
    const auto it = std::find(m_loaders.begin(), m_loaders.end(), Loader);
    if (it != m_loaders.end())
        m_loaders.erase(it);
}

TDatenLoader* TLoaderClient::GetLoader(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(m_loaders.size()))
        return nullptr;
    return m_loaders[static_cast<size_t>(Index)];
}
