// The launcher's check for a newer version: posts a form to the update service,
// reads the reply, and keeps the key and store id in update.bin.
#pragma once

#include <string>

class UpdateCheck {
 public:
  // Sets the start values, then Load().
  UpdateCheck();
  ~UpdateCheck();

  // Request, reply and Save(); no failure here stops the launcher.
  void Run();
  bool Load();
  bool Save();
  void ParseReply(const std::wstring& text);

  // The value behind a field name ("url=") up to the next ";"; the name counts only
  // at the start of the text or right after a ";". Empty without a closing ";".
  static std::wstring GetField(const std::wstring& text, const std::wstring& name);
  // The form posted to the service; binary is the digest of the given program file.
  std::string BuildRequestBody(const std::string& programPath) const;
  // BRINEMARK_UPDATE_URL (with "/server_access.php" added when it has no path) or
  // the built-in address.
  static std::string GetServiceUrl();
  // <documents>/Fenwold/Brinemark (an existing one in any case), created with its
  // parents; false when unusable.
  static bool GetFolder(std::string& out);

  bool IsUpdateAvailable() const { return m_updateAvailable; }
  const std::wstring& GetUpdateAddress() const { return m_updateAddress; }
  const std::wstring& GetDescription() const { return m_description; }
  const std::wstring& GetStoreAddress() const { return m_storeAddress; }
  const std::string& GetKey() const { return m_key; }
  const std::string& GetStoreId() const { return m_storeId; }
  int GetProductNumber() const { return m_productNumber; }

 private:
  int m_productNumber;
  std::string m_key;
  std::string m_storeId;
  std::wstring m_storeAddress;
  std::wstring m_description;
  std::wstring m_updateAddress;
  bool m_updateAvailable;
};
