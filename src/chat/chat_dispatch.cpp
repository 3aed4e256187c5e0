#include "chat/chat_dispatch.h"

#include <cstdio>
#include <memory>

#include "chat/chat_messages.h"
#include "chat/chat_parsers.h"
#include "chat/chat_wire.h"
#include "platform/debug_sink.h"
#include "platform/message_core.h"
#include "platform/messages.h"

namespace qrv::chat {
namespace {

void HandleAgentList(std::string_view body, AgentBook& agents) {
  OutputDebugString("****开始解析GM列表*****\r\n");
  // An agent listed again is updated, not listed twice; past the cap new agents are left out.
  std::size_t left_out = 0;
  for (GMEntry& entry : ParseAgentList(body)) left_out += agents.Add(std::move(entry)) ? 0 : 1;
  if (left_out == 0) return;
  char line[128];
  std::snprintf(line, sizeof line, "****GM列表已满%zu人，略去%zu人*****\r\n", AgentBook::kMaxAgents,
                left_out);
  OutputDebugString(line);
}

void HandleLocalAgents(std::string_view body, AgentBook& agents) {
  OutputDebugString("****开始解析本服GM*****\r\n");
  for (const std::uint64_t id : ParseLocalAgents(body)) {
    if (GMEntry* entry = agents.Find(id)) entry->local = 1;
  }
}

void HandleAgentStates(std::string_view body, AgentBook& agents) {
  OutputDebugString("****开始解析GM状态*****\r\n");
  for (const AgentState& state : ParseAgentStates(body)) {
    if (GMEntry* entry = agents.Find(state.agent_id)) entry->state = state.state;
  }
}

void HandleOpenChatResult(std::string_view body, ChatState& state, HWND target) {
  OutputDebugString("****开始解析开启对话返回结果*****\r\n");
  const auto answer = ParseOpenChatResult(body);
  if (!answer || static_cast<std::int64_t>(answer->agent_id) <= 0) return;
  // Only an answer to a request of the player counts, and only once: a refusal ends the request
  // too, and an acceptance nobody asked for opens nothing.
  if (state.requested.erase(answer->agent_id) == 0 || answer->result != 0) return;
  const GMEntry* entry = state.agents.Find(answer->agent_id);
  if (entry == nullptr || target == nullptr) return;
  PostMessage(target, kMsgChatAccepted, 0, std::make_unique<std::uint64_t>(entry->id));
}

void HandleChatText(std::string_view body, HWND target) {
  OutputDebugString("****开始解析聊天内容*****\r\n");
  auto message = ParseChatText(body);
  if (!message || target == nullptr) return;
  PostMessage(target, kMsgChatText, 0, std::make_unique<ChatTextMessage>(std::move(*message)));
}

void HandleAgentOffline(std::string_view body) {
  OutputDebugString("****开始解析GM离线内容*****\r\n");
  const auto id = ParseAgentOffline(body);
  if (!id) return;
  // Logged only: the entry keeps its state until the next state list.
  char line[64];
  std::snprintf(line, sizeof line, "***********离线GM,ID:%d*************",
                static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(*id))));
  OutputDebugString(line);
}

}  // namespace

void HandleFrame(const FrameView& frame, ChatState& state, HWND target) {
  AgentBook& agents = state.agents;
  switch (frame.type) {
    case static_cast<std::int8_t>(FrameType::kLoginResult):
      if (ParseLoginResult(frame.body)) OutputDebugString("*****登录成功************\r\n");
      break;
    case static_cast<std::int8_t>(FrameType::kGameInfo):
      // Read for completeness and dropped: nothing in the launcher shows it.
      OutputDebugString("****开始解析游戏信息*****\r\n");
      ParseGameInfo(frame.body);
      break;
    case static_cast<std::int8_t>(FrameType::kAgentList):
      HandleAgentList(frame.body, agents);
      break;
    case static_cast<std::int8_t>(FrameType::kLocalAgents):
      HandleLocalAgents(frame.body, agents);
      break;
    case static_cast<std::int8_t>(FrameType::kAgentStates):
      HandleAgentStates(frame.body, agents);
      break;
    case static_cast<std::int8_t>(FrameType::kOpenChat):
      HandleOpenChatResult(frame.body, state, target);
      break;
    case static_cast<std::int8_t>(FrameType::kChatText):
    case static_cast<std::int8_t>(FrameType::kChatStart):
      HandleChatText(frame.body, target);
      break;
    case static_cast<std::int8_t>(FrameType::kAgentOffline):
      HandleAgentOffline(frame.body);
      break;
    default:
      break;  // types the launcher does not know, its own heartbeat included
  }
}

}  // namespace qrv::chat
