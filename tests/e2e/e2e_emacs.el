;;; e2e_emacs.el --- velko-menu lsp with Emacs eglot as the client  -*- lexical-binding: t; coding: utf-8 -*-
;; Run in batch by e2e_emacs.sh. Debian 12's eglot (1.9) opens the broken
;; example: the findings it is sent must be those of `velko-menu check';
;; after fixing the name through the buffer, as a user types, the error must
;; go and a hover on an item must bring the screen that `velko-menu render'
;; draws; the server must accept eglot's own shutdown and exit (both with
;; "params": null) and exit with status 0. Every wait has a deadline; the
;; exit status is 0 only when all checks pass.

(require 'package)
;; -Q leaves the site folders out: Debian's packaged ELPA folder goes back in.
(add-to-list 'package-directory-list "/usr/share/emacs/site-lisp/elpa")
(package-initialize)
(require 'cl-lib)
(require 'subr-x)
(require 'eglot)

;; A batch Emacs may start in the C locale: files and tools speak UTF-8.
(prefer-coding-system 'utf-8)
(setq default-process-coding-system '(utf-8 . utf-8))

(defvar e2e-tool (getenv "VELKO_MENU"))
(defvar e2e-dir (getenv "E2E_DIR"))
(defvar e2e-deadline 10.0)
(defvar e2e-failures 0)
(defvar e2e-published nil "Every publishDiagnostics, newest first: (URI . DIAGNOSTICS).")

(defun e2e-say (format-string &rest args)
  (princ (concat (apply #'format format-string args) "\n")))

(defun e2e-expect (condition format-string &rest args)
  (unless condition
    (cl-incf e2e-failures)
    (e2e-say "FAIL: %s" (apply #'format format-string args)))
  condition)

(cl-defmethod eglot-handle-notification :before
  (_server (_method (eql textDocument/publishDiagnostics)) &key uri diagnostics
           &allow-other-keys)
  (push (cons uri diagnostics) e2e-published))

(defun e2e-publications (uri)
  (cl-loop for (u . d) in e2e-published when (equal u uri) collect d))

(defun e2e-wait (predicate what)
  "Wait for PREDICATE, reading the server's output meanwhile."
  (let ((end (+ (float-time) e2e-deadline)))
    (while (and (not (funcall predicate)) (< (float-time) end))
      (accept-process-output nil 0.02))
    (e2e-expect (funcall predicate) "%s: nothing within %s s" what e2e-deadline)))

(defun e2e-run (&rest arguments)
  "Standard output lines of `velko-menu ARGUMENTS', whatever its status."
  (with-temp-buffer
    (apply #'call-process e2e-tool nil (list t nil) nil arguments)
    (split-string (buffer-string) "\n" t)))

(defun e2e-scratch ()
  "The current buffer's text in a file of its own, for the command line."
  (let ((file (expand-file-name "scratch.c" e2e-dir)))
    (write-region nil nil file nil 'silent)
    file))

(defun e2e-check-findings ()
  (mapcar (lambda (line) (replace-regexp-in-string "\\`.*?\\.c:" "" line))
          (e2e-run "check" (e2e-scratch))))

(defun e2e-published-findings (diagnostics)
  (mapcar (lambda (d)
            (let ((start (plist-get (plist-get d :range) :start)))
              (format "%d:%d: %s: %s" (1+ (plist-get start :line))
                      (1+ (plist-get start :character))
                      (nth (1- (plist-get d :severity)) '("error" "warning" "note"))
                      (plist-get d :message))))
          diagnostics))

(defun e2e-same-findings (uri what)
  (let ((expected (e2e-check-findings))
        (actual (e2e-published-findings (car (e2e-publications uri)))))
    (e2e-expect (equal expected actual) "%s: published\n  %s\nbut check says\n  %s" what
                (string-join actual "\n  ") (string-join expected "\n  "))
    expected))

(defun e2e-fold (rows)
  "`render --ascii' ROWS ('#' lit) as the hover's art: two rows per line."
  (cl-loop for (upper lower) on rows by #'cddr
           collect (apply #'string
                          (cl-loop for x below (length upper)
                                   for u = (eq (aref upper x) ?#)
                                   for l = (and lower (eq (aref lower x) ?#))
                                   collect (cond ((and u l) ?█) (u ?▀) (l ?▄) (t ?\s))))))

(cl-defun e2e-main ()
  (setq eglot-server-programs `((c-mode . (,e2e-tool "lsp"))))
  (find-file (expand-file-name "service_menu_broken.c" e2e-dir))
  (apply #'eglot (eglot--guess-contact))
  (let* ((server (eglot-current-server))
         (uri (eglot--path-to-uri (buffer-file-name))))
    (unless (e2e-expect server "eglot did not connect")
      (cl-return-from e2e-main))
    (when (e2e-wait (lambda () (e2e-publications uri)) "diagnostics on opening")
      (let ((findings (e2e-same-findings uri "on opening")))
        (e2e-expect (cl-some (lambda (f) (string-match-p ": error: name mismatch" f)) findings)
                    "check finds no name mismatch: %S" findings)))

    ;; Fix the closing name as a user would: eglot sends an incremental change.
    (goto-char (point-min))
    (search-forward "END_MENU(SeviceMenu")
    (let ((seen (length (e2e-publications uri))))
      (replace-match "END_MENU(ServiceMenu" t t)
      (eglot--signal-textDocument/didChange)
      (when (e2e-wait (lambda () (> (length (e2e-publications uri)) seen)) "after the fix")
        (e2e-same-findings uri "after the fix")
        (e2e-expect (not (cl-some (lambda (d) (eql (plist-get d :severity) 1))
                                  (car (e2e-publications uri))))
                    "the fix left an error")))

    ;; Hover on the first item: the screen, in plain text here (no Markdown
    ;; mode in a bare Emacs), pixel for pixel as render draws the items.
    (goto-char (point-min))
    (search-forward "Тест реле")
    (let* ((line (line-number-at-pos))
           (hover (jsonrpc-request server :textDocument/hover
                                   (eglot--TextDocumentPositionParams)))
           (contents (plist-get hover :contents))
           (value (or (plist-get contents :value) ""))
           ;; Markdown, where a Markdown mode is installed, fences the same art.
           ;; The last line names the build variant, below the art.
           (lines (split-string value "\n" t))
           (variant (car (last lines)))
           (art (split-string (if (string-match "```text\n\\(\\(?:.\\|\n\\)*?\\)```" value)
                                  (match-string 1 value)
                                (string-join (butlast lines) "\n"))
                              "\n" t))
           (rendered (e2e-fold (e2e-run "render" (format "%s:%d" (e2e-scratch) line)
                                        "--ascii"))))
      (e2e-expect (member (plist-get contents :kind) '("plaintext" "markdown"))
                  "hover gave %S" hover)
      (e2e-expect (= (length art) 20) "the art has %d lines, not 20" (length art))
      (e2e-expect (string-match-p "\\`\\*?\\(variant: \\|no build options\\)" variant)
                  "the hover's last line names no variant: %S" variant)
      ;; The title's clock is the time of each drawing: items only.
      (e2e-expect (equal (nthcdr 4 art) (nthcdr 4 rendered))
                  "the hover's items differ from render's:\n%s\n---\n%s"
                  (string-join (nthcdr 4 art) "\n") (string-join (nthcdr 4 rendered) "\n")))

    ;; eglot-shutdown's own messages, then the server must end by itself.
    (let ((process (jsonrpc--process server)))
      (condition-case err
          (progn (jsonrpc-request server :shutdown nil :timeout e2e-deadline)
                 (jsonrpc-notify server :exit nil))
        (error (e2e-expect nil "shutdown was refused: %S" err)))
      (when (e2e-wait (lambda () (not (process-live-p process))) "the server's exit")
        (e2e-expect (and (eq (process-status process) 'exit)
                         (= (process-exit-status process) 0))
                    "the server ended %s with %s" (process-status process)
                    (process-exit-status process))))))

(condition-case err
    (e2e-main)
  (error (e2e-expect nil "error: %S" err)))
(e2e-say (if (zerop e2e-failures) "e2e_emacs: all checks passed" "e2e_emacs: %d failed")
         e2e-failures)
(kill-emacs (if (zerop e2e-failures) 0 1))
