-- Headless Neovim (0.7) as the client of `velko-menu lsp`, run by
-- e2e_neovim.sh: the diagnostics of the examples must be those of
-- `velko-menu check`, also after Neovim's own incremental edits; fixing the
-- broken example must clear its error; a hover in a menu must show the screen.
-- Every wait has a deadline; the exit status is 0 only when all checks pass.

local tool = os.getenv('VELKO_MENU')
local dir = os.getenv('E2E_DIR')
local Deadline = 10000
local failures = 0

local function say(...)
  io.stdout:write(string.format(...) .. '\n')
end

local function expect(condition, ...)
  if not condition then
    failures = failures + 1
    say('FAIL: ' .. string.format(...))
  end
  return condition
end

local published = {} -- uri -> every publishDiagnostics params received
local server_exit = nil

local function publications(uri)
  return published[uri] or {}
end

-- `check` on the text as Neovim holds it, positions only (the path is another).
local function check_buffer(bufnr)
  local scratch = dir .. '/check-' .. bufnr .. '.c'
  vim.fn.writefile(vim.api.nvim_buf_get_lines(bufnr, 0, -1, true), scratch)
  local findings = {}
  for _, line in ipairs(vim.fn.systemlist({ tool, 'check', scratch })) do
    table.insert(findings, (line:gsub('^.-%.c:', '')))
  end
  return findings
end

-- The last publication for a buffer in check's words.
local function published_findings(uri)
  local list = publications(uri)
  local findings = {}
  for _, d in ipairs(list[#list].diagnostics) do
    table.insert(findings, string.format('%d:%d: %s: %s', d.range.start.line + 1,
      d.range.start.character + 1, ({ 'error', 'warning', 'note' })[d.severity], d.message))
  end
  return findings
end

local function same_findings(bufnr, uri, what)
  local expected = check_buffer(bufnr)
  local actual = published_findings(uri)
  expect(vim.deep_equal(expected, actual), '%s: published\n  %s\nbut check says\n  %s', what,
    table.concat(actual, '\n  '), table.concat(expected, '\n  '))
  expect(#vim.diagnostic.get(bufnr) == #actual, '%s: Neovim shows %d diagnostics, not %d', what,
    #vim.diagnostic.get(bufnr), #actual)
  return expected
end

-- Waits for a publication after the `count` seen so far.
local function wait_publication(uri, count, what)
  return expect(vim.wait(Deadline, function() return #publications(uri) > count end, 20),
    '%s: no diagnostics within %d ms', what, Deadline)
end

local function main()
  local client_id = vim.lsp.start_client({
    name = 'velko-menu',
    cmd = { tool, 'lsp' },
    root_dir = dir,
    handlers = {
      ['textDocument/publishDiagnostics'] = function(err, result, ctx, config)
        published[result.uri] = published[result.uri] or {}
        table.insert(published[result.uri], result)
        return vim.lsp.diagnostic.on_publish_diagnostics(err, result, ctx, config)
      end,
    },
    on_exit = function(code) server_exit = code end,
  })
  if not expect(client_id, 'the client did not start') then return end

  local broken
  for _, name in ipairs({ 'main_menu.c', 'settings_menu.c', 'service_menu_broken.c' }) do
    vim.cmd('edit ' .. vim.fn.fnameescape(dir .. '/' .. name))
    local bufnr = vim.api.nvim_get_current_buf()
    vim.lsp.buf_attach_client(bufnr, client_id)
    local uri = vim.uri_from_bufnr(bufnr)
    if wait_publication(uri, 0, name) then
      local findings = same_findings(bufnr, uri, name)
      expect(#findings > 0, '%s: check finds nothing to compare', name)
    end
    if name == 'service_menu_broken.c' then broken = bufnr end
  end

  -- Fix the closing macro's name, as a user would.
  local uri = vim.uri_from_bufnr(broken)
  local lines = vim.api.nvim_buf_get_lines(broken, 0, -1, true)
  local row, col
  for i, line in ipairs(lines) do
    local at = line:find('SeviceMenu', 1, true)
    if at then row, col = i - 1, at - 1 end
  end
  if not expect(row, 'no SeviceMenu in the broken example') then return end
  local seen = #publications(uri)
  vim.api.nvim_buf_set_text(broken, row, col, row, col + #'SeviceMenu', { 'ServiceMenu' })
  if wait_publication(uri, seen, 'after the fix') then
    expect(#publications(uri)[#publications(uri)].diagnostics == 0,
      'the fix left diagnostics: %s', table.concat(published_findings(uri), '; '))
    same_findings(broken, uri, 'after the fix')
  end

  -- A character the font lacks, typed after Cyrillic text: Neovim counts the
  -- change in UTF-16 units from its byte columns, the server back again.
  for i, line in ipairs(vim.api.nvim_buf_get_lines(broken, 0, -1, true)) do
    local at = line:find('реле', 1, true)
    if at then row, col = i - 1, at - 1 + #'реле' end
  end
  seen = #publications(uri)
  vim.api.nvim_buf_set_text(broken, row, col, row, col, { ' Ω😀' })
  if wait_publication(uri, seen, 'after typing Ω') then
    expect(#same_findings(broken, uri, 'after typing Ω') == 2, 'Ω and 😀 are not both reported')
  end

  -- Hover in the fixed menu's first item.
  local responses = vim.lsp.buf_request_sync(broken, 'textDocument/hover', {
    textDocument = { uri = uri },
    position = { line = 12, character = 6 },
  }, Deadline)
  local reply = responses and responses[client_id]
  local value = reply and reply.result and reply.result.contents.value or ''
  expect(reply and reply.result and reply.result.contents.kind == 'markdown',
    'hover gave no Markdown: %s', vim.inspect(reply))
  expect(value:find('](data:image/png;base64,', 1, true), 'hover has no PNG data URI')
  local art = value:match('```text\n(.-)```')
  if expect(art, 'hover has no fenced text art') then
    local rows = vim.split(art, '\n', { trimempty = true })
    -- Title and four items, 8 pixel rows each, two per line.
    expect(#rows == 20, 'the art has %d lines, not 20', #rows)
    for _, art_row in ipairs(rows) do
      expect(vim.fn.strchars(art_row) == 128, 'an art line of %d characters',
        vim.fn.strchars(art_row))
    end
    expect(art:find('█', 1, true) and art:find('▀', 1, true) and art:find('▄', 1, true),
      'the art lacks half blocks')
  end
  local outside = vim.lsp.buf_request_sync(broken, 'textDocument/hover', {
    textDocument = { uri = uri },
    position = { line = 0, character = 0 },
  }, Deadline)
  expect(outside and outside[client_id] and outside[client_id].result == nil,
    'a hover outside menus gave %s', vim.inspect(outside))

  vim.lsp.stop_client(client_id)
  expect(vim.wait(Deadline, function() return server_exit ~= nil end, 20),
    'the server did not exit after shutdown')
  expect(server_exit == 0, 'the server exited with %s after shutdown', tostring(server_exit))
end

vim.api.nvim_create_autocmd('VimEnter', {
  callback = function()
    local ok, err = pcall(main)
    expect(ok, 'error: %s', tostring(err))
    say(failures == 0 and 'e2e_neovim: all checks passed' or 'e2e_neovim: %d failed', failures)
    vim.cmd(failures == 0 and 'qall!' or 'cquit 1')
  end,
})
