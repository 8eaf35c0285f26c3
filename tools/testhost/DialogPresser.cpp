#include "tools/testhost/DialogPresser.h"

std::thread PressDialog(const std::string& title, int button, std::vector<std::pair<int, int>> fields,
                        std::atomic<bool>& found)
{
    return std::thread([title, button, fields, &found] {
        for (int i = 0; i < 400; ++i) {
            HWND dialog = FindWindowA("#32770", title.c_str());
            if (dialog && IsWindowVisible(dialog)) {
                found = true;
                Sleep(100);
                for (const auto& field : fields)
                    SetDlgItemInt(dialog, field.first, static_cast<UINT>(field.second), FALSE);
                Sleep(100);
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
                return;
            }
            Sleep(50);
        }
    });
}

std::vector<std::pair<int, int>> ColourFields(int red, int green, int blue)
{
    return {{kColourRedField, red}, {kColourGreenField, green}, {kColourBlueField, blue}};
}
